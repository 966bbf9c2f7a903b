local n = 300 -- size
-- Sums of products read from text: the blanks taken out, each operator made a
-- field of its own (-1 for +, -2 for -, -3 for *), the fields split into the
-- array and the terms worked out from the last field back.
local texts = {
    "12 * 3 + 45 - 6 * 7 * 2 + 100 - 3 * 3 * 3 + 8 * 9 - 10",
    "7 + 8 * 9 * 2 - 44 + 3 * 3 + 120 - 5 * 6 - 1 + 2 * 2 * 2",
    "99 - 9 * 9 + 6 * 7 - 14 + 3 * 11 * 2 - 8 + 50 * 2",
    "5 * 5 * 5 - 100 + 36 - 6 * 6 + 17 * 3 - 49 + 2 - 1",
}
local sum = 0
local pass = 0
while pass < n do
    local text = string.gsub(texts[pass % 4 + 1], " ", "")
    text = string.gsub(text, "%-", ",-2,")
    text = string.gsub(text, "%+", ",-1,")
    text = string.gsub(text, "%*", ",-3,")
    local a = {}
    for field in string.gmatch(text, "[^,]+") do a[#a + 1] = tonumber(field) end
    local left = #a
    local value = 0
    local product = 1
    while left > 0 do
        local x = table.remove(a)
        left = left - 1
        if x >= 0 then
            product = product * x
        elseif x == -1 then
            value = value + product
            product = 1
        elseif x == -2 then
            value = value - product
            product = 1
        end
    end
    value = value + product
    sum = (sum + value * (pass % 3 + 1)) % 1000003
    pass = pass + 1
end
print(string.format("%g", sum))
