version: 0.9
zentul:
print("delivered");
