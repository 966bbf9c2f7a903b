local n = 40 -- size
-- Paths through a table of 10 rows and 60 columns from the right and from the
-- row above, counted modulo 10, some cells closed. Each row is kept as text: it
-- is written cell by cell before an S, from the last cell back, and read back
-- with split and pop.
local width = 60
local height = 10
local sum = 0
local pass = 0
local function split(text)
    local a = {}
    for field in string.gmatch(text, "[^,]+") do a[#a + 1] = tonumber(field) end
    return a
end
while pass < n do
    local above = split(string.rep("1,", width))
    local row = 0
    while row < height do
        local text = "S"
        local right = 0
        local total = 0
        local col = width - 1
        while col >= 0 do
            local v = (table.remove(above) + right) % 10
            if (row * 7 + col * 3 + pass) % 11 == 0 then
                v = 0
            end
            text = string.gsub(text, "S", "S" .. v .. ",")
            right = v
            total = total + v
            col = col - 1
        end
        text = string.gsub(text, "S", "")
        above = split(text)
        sum = (sum * 7 + total * (row + 1)) % 1000003
        row = row + 1
    end
    pass = pass + 1
end
print(string.format("%g", sum))
