zentul:
# nothing

#print("never run");

