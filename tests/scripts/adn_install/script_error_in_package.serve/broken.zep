version: 1.0
zentul:
print("before the fault");
print(missing_variable);
