zentul:
print("hello runs");
