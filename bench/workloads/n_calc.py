n = 300  # size
# Sums of products read from text: the blanks taken out, each operator made a
# field of its own (-1 for +, -2 for -, -3 for *), the fields split into the
# array and the terms worked out from the last field back.
texts = [
    "12 * 3 + 45 - 6 * 7 * 2 + 100 - 3 * 3 * 3 + 8 * 9 - 10",
    "7 + 8 * 9 * 2 - 44 + 3 * 3 + 120 - 5 * 6 - 1 + 2 * 2 * 2",
    "99 - 9 * 9 + 6 * 7 - 14 + 3 * 11 * 2 - 8 + 50 * 2",
    "5 * 5 * 5 - 100 + 36 - 6 * 6 + 17 * 3 - 49 + 2 - 1",
]
total = 0
pass_ = 0
while pass_ < n:
    text = texts[pass_ % 4].replace(" ", "")
    text = text.replace("-", ",-2,")
    text = text.replace("+", ",-1,")
    text = text.replace("*", ",-3,")
    a = [float(field) for field in text.split(",")]
    left = len(a)
    value = 0
    product = 1
    while left > 0:
        x = a.pop()
        left = left - 1
        if x >= 0:
            product = product * x
        elif x == -1:
            value = value + product
            product = 1
        elif x == -2:
            value = value - product
            product = 1
    value = value + product
    total = (total + value * (pass_ % 3 + 1)) % 1000003
    pass_ = pass_ + 1
print("%g" % total)
