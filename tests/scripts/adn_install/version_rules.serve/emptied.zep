version: 5.0
version:
version: 
version:x
version: |x
version: 	x
