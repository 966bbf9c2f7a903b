n = 40  # size
# Paths through a table of 10 rows and 60 columns from the right and from the
# row above, counted modulo 10, some cells closed. Each row is kept as text: it
# is written cell by cell before an S, from the last cell back, and read back
# with split and pop.
width = 60
height = 10
total_sum = 0
pass_ = 0
while pass_ < n:
    above = [float(field) for field in ("1," * width).split(",")[:-1]]
    row = 0
    while row < height:
        text = "S"
        right = 0
        total = 0
        col = width - 1
        while col >= 0:
            v = (above.pop() + right) % 10
            if (row * 7 + col * 3 + pass_) % 11 == 0:
                v = 0
            text = text.replace("S", "S%d," % v)
            right = v
            total = total + v
            col = col - 1
        text = text.replace("S", "")
        above = [float(field) for field in text.split(",")[:-1]]
        total_sum = (total_sum * 7 + total * (row + 1)) % 1000003
        row = row + 1
    pass_ = pass_ + 1
print("%g" % total_sum)
