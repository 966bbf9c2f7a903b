local n = 1000000 -- size
local a, b, c, d = 0, 0, 0, 0
for j = 1, n do
    if j % 15 == 0 then
        a = a + 1
    else
        if j % 3 == 0 then
            b = b + 1
        else
            if j % 5 == 0 then
                c = c + 1
            else
                d = d + 1
            end
        end
    end
end
print(string.format("%g %g %g %g", a, b, c, d))
