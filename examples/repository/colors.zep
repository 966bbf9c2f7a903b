# colors: writes a palette file into the current folder.
version: 2.1.0
zentul:
write_file("colors.txt", "red\ngreen\nblue\n");
print("colors: wrote colors.txt");
