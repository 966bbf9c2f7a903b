Version: 9.9
version 8.8
