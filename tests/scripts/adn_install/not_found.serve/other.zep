zentul:
print("never");
