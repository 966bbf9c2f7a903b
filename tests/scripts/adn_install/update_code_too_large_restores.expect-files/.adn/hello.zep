version: 1.0
zentul:
print("old code");
