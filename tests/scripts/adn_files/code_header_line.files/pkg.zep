zentul:
sg<nel>
print("a");
print("b");
