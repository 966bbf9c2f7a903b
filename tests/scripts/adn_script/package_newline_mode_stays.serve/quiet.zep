zentul:
sg<nel>
print("pkg");
