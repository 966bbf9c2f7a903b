n = 1000000  # size
a = b = c = d = 0
for j in range(1, n + 1):
    if j % 15 == 0:
        a = a + 1
    else:
        if j % 3 == 0:
            b = b + 1
        else:
            if j % 5 == 0:
                c = c + 1
            else:
                d = d + 1
print("%g %g %g %g" % (a, b, c, d))
