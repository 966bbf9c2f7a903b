zentul:
var inner = 0;
while (inner < 3) { inner = inner + 1; }
print("package loop done", inner);
