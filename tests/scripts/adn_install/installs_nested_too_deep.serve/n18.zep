zentul:
print("never run");
