local n = 400 -- size
-- Queens on boards of 5 and 6 squares, searched depth first: the array holds,
-- for each queen placed, its column and its two diagonals, and a square is
-- free when none of the three is there.
local function contains(a, value)
    for k = 1, #a do
        if a[k] == value then return 1 end
    end
    return 0
end
local total = 0
local pass = 0
while pass < n do
    local q = 5 + pass % 2
    local a = {}
    local row, col, back, going, found = 0, 0, false, true, 0
    while going do
        if row == q then
            found = found + 1
            back = true
        end
        if back then
            if row == 0 then
                going = false
            else
                row = row - 1
                table.remove(a)
                table.remove(a)
                col = table.remove(a) + 1
                back = false
            end
        else
            if col < q then
                local taken = contains(a, col)
                taken = taken + contains(a, 100 + col - row)
                taken = taken + contains(a, 200 + col + row)
                if taken == 0 then
                    a[#a + 1] = col
                    a[#a + 1] = 100 + col - row
                    a[#a + 1] = 200 + col + row
                    row = row + 1
                    col = 0
                else
                    col = col + 1
                end
            else
                back = true
            end
        end
    end
    total = total + found * (pass % 5 + 1)
    pass = pass + 1
end
print(string.format("%g", total))
