local n = 60000 -- size
local t = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,58,59,60,61,62,63,64,65,66,67,68,69,70,71,72,73,74,75,76,77,78,79,80,81,82,83,84,85,86,87,88,89,90,91,92,93,94,95,96,97,98,99,100"
local s = 0
local k = 0
while k < n do
    local a = {}
    for field in string.gmatch(t, "[^,]+") do a[#a + 1] = tonumber(field) end
    a[#a + 1] = k
    local found = 0
    for _, v in ipairs(a) do
        if v == 50 then found = 1; break end
    end
    local length = #a
    local popped = table.remove(a)
    s = (s + found + length + popped) % 999983
    k = k + 1
end
print(string.format("%g", s))
