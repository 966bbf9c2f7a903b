n = 3000000  # size
s = 0
k = 0
while k < n:
    s = (s * 3 + k * 7 + 1) % 999983
    k = k + 1
print("%g" % s)
