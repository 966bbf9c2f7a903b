version: 4.0|evil|x
