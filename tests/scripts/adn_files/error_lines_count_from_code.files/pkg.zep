# comment
version: 1.0

zentul:
print("one");
# dropped
print(nothing_here);
