version: 2.0
zentul:
print(missing_variable);
