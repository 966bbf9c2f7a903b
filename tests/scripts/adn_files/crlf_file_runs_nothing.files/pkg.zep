# saved with CRLF
version: 1.0
zentul:
print("never run");
