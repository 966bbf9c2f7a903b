local n = 80000 -- size
local total = 0
local error = 0
local x = 1
while x <= n do
    local g = x / 2 + 1
    while math.abs(g * g - x) > 0.000001 * x do
        g = (g + x / g) / 2
    end
    total = total + g
    error = error + math.abs(g - math.sqrt(x))
    x = x + 1
end
print(string.format("%g %g", total, error))
