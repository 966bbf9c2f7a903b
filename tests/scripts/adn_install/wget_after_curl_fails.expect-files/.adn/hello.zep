version: 1.1
zentul:
print("fetched by wget");
