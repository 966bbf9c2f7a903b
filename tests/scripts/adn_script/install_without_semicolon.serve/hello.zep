zentul:
print("installed first");
