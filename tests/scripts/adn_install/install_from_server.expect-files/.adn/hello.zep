# greeting package
version: 1.2.0
zentul:
print("hello from the package");
