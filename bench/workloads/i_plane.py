n = 250000  # size
limit = 64
total = 0
inside = 0
p = 0
# The points of a 211 by 149 grid over the plane, visited along its diagonal.
while p < n:
    cr = p % 211 * 2.6 / 211 - 2.1
    ci = p % 149 * 2.4 / 149 - 1.2
    zr = 0.0
    zi = 0.0
    tr = 0.0
    ti = 0.0
    k = 0
    while k < limit and tr + ti <= 4:
        zi = 2 * zr * zi + ci
        zr = tr - ti + cr
        tr = zr * zr
        ti = zi * zi
        k = k + 1
    total = total + k
    if k == limit:
        inside = inside + 1
    p = p + 1
print("%g %g" % (total % 1000000, inside))
