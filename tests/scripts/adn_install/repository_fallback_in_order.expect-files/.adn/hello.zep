version: 2.0
zentul:
print("from the second");
