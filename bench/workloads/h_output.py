n = 200000  # size
for k in range(n):
    print("line %g %g end" % (k, k * 0.5))
