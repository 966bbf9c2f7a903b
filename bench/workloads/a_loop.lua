local n = 3000000 -- size
local s = 0
local k = 0
while k < n do
    s = (s * 3 + k * 7 + 1) % 999983
    k = k + 1
end
print(string.format("%g", s))
