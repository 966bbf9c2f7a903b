version: 0.3
zentul:
print("tool runs");
