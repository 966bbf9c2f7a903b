version: 1.0
print("never run");
