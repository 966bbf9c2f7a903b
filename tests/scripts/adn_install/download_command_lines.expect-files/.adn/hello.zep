version: 1.5
zentul:
print("written by wget");
