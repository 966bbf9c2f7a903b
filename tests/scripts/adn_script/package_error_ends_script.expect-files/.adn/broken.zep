zentul:
print("package starts");

var z = 1 / 0;
