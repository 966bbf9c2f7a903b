version:
