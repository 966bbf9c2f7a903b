# a package file
name: demo
version: 1.0
zentul: 
print("header lines are never run");

zentul:
print("first code line");
# a comment line is dropped before the code runs
   # an indented comment reaches the code, where the tokenizer skips it

zentul:
print("after the second marker");
