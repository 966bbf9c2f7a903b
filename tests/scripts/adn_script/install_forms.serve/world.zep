zentul:
print("world runs");
