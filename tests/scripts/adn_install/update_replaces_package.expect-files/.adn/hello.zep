version: 2.0
zentul:
print("new code");
