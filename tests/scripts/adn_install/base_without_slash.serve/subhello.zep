version: 1.0
zentul:
print("name followed the base");
