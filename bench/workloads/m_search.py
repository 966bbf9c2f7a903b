n = 400  # size
# Queens on boards of 5 and 6 squares, searched depth first: the array holds,
# for each queen placed, its column and its two diagonals, and a square is
# free when none of the three is there.
total = 0
pass_ = 0
while pass_ < n:
    q = 5 + pass_ % 2
    a = []
    row = 0
    col = 0
    back = False
    going = True
    found = 0
    while going:
        if row == q:
            found = found + 1
            back = True
        if back:
            if row == 0:
                going = False
            else:
                row = row - 1
                a.pop()
                a.pop()
                col = a.pop() + 1
                back = False
        else:
            if col < q:
                taken = 1 if col in a else 0
                taken = taken + (1 if 100 + col - row in a else 0)
                taken = taken + (1 if 200 + col + row in a else 0)
                if taken == 0:
                    a.append(col)
                    a.append(100 + col - row)
                    a.append(200 + col + row)
                    row = row + 1
                    col = 0
                else:
                    col = col + 1
            else:
                back = True
    total = total + found * (pass_ % 5 + 1)
    pass_ = pass_ + 1
print("%g" % total)
