version: 7.0	beta
