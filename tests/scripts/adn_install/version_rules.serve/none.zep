# no version here
