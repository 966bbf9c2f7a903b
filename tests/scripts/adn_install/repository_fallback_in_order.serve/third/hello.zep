version: 3.0
zentul:
print("from the third");
