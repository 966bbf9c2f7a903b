version: 1.0
version: 3.0
