zentul:
