version: 1.0
zentul:
var greeting = "hi from the package";
var answer = 41;
print("package code runs");
