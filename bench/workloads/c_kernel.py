n = 80000  # size
import math
total = 0
error = 0
x = 1
while x <= n:
    g = x / 2 + 1
    while abs(g * g - x) > 0.000001 * x:
        g = (g + x / g) / 2
    total = total + g
    error = error + abs(g - math.sqrt(x))
    x = x + 1
print("%g %g" % (total, error))
