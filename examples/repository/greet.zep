# greet: says hello, and leaves a greeting for the script that installs it.
version: 1.0.0
zentul:
var greeting = "Hello from the greet package";
print("greet: ready");
