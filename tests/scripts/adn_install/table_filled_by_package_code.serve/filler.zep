version: 1.0
zentul:
print("filler runs");
