version: 6.0
