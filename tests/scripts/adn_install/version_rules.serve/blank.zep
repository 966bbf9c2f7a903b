version: 2.1
