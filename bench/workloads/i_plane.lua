local n = 250000 -- size
local limit = 64
local total = 0
local inside = 0
local p = 0
local cr, ci, zr, zi, tr, ti, k = 0, 0, 0, 0, 0, 0, 0
-- The points of a 211 by 149 grid over the plane, visited along its diagonal.
while p < n do
    cr = p % 211 * 2.6 / 211 - 2.1
    ci = p % 149 * 2.4 / 149 - 1.2
    zr = 0
    zi = 0
    tr = 0
    ti = 0
    k = 0
    while k < limit and tr + ti <= 4 do
        zi = 2 * zr * zi + ci
        zr = tr - ti + cr
        tr = zr * zr
        ti = zi * zi
        k = k + 1
    end
    total = total + k
    if k == limit then
        inside = inside + 1
    end
    p = p + 1
end
print(string.format("%g %g", total % 1000000, inside))
