local n = 600000 -- size
local a0 = 1
local a1 = 2
local a2 = 3
local a3 = 4
local a4 = 5
local a5 = 6
local b0 = 0
local b1 = 0
local b2 = 0
local b3 = 0
local b4 = 0
local b5 = 0
local t = 0
local seed = 1
local s = 0
local flips = 0
local most = 0
local mixed = 0
local k = 0
-- A walk over the orders of six numbers, one swap of neighbours a pass, each order
-- flipped by its first number until 1 comes first.
while k < n do
    b0 = a0
    b1 = a1
    b2 = a2
    b3 = a3
    b4 = a4
    b5 = a5
    flips = 0
    while b0 ~= 1 do
        if b0 < 4 then
            if b0 < 3 then
                t = b0
                b0 = b1
                b1 = t
            else
                t = b0
                b0 = b2
                b2 = t
            end
        else
            if b0 < 5 then
                t = b0
                b0 = b3
                b3 = t
                t = b1
                b1 = b2
                b2 = t
            else
                if b0 < 6 then
                    t = b0
                    b0 = b4
                    b4 = t
                    t = b1
                    b1 = b3
                    b3 = t
                else
                    t = b0
                    b0 = b5
                    b5 = t
                    t = b1
                    b1 = b4
                    b4 = t
                    t = b2
                    b2 = b3
                    b3 = t
                end
            end
        end
        flips = flips + 1
    end
    if flips > most then
        most = flips
    end
    mixed = (mixed * 31 + flips) % 999983
    seed = seed * 75 % 65537
    s = seed % 5
    if s < 2 then
        if s < 1 then
            t = a0
            a0 = a1
            a1 = t
        else
            t = a1
            a1 = a2
            a2 = t
        end
    else
        if s < 3 then
            t = a2
            a2 = a3
            a3 = t
        else
            if s < 4 then
                t = a3
                a3 = a4
                a4 = t
            else
                t = a4
                a4 = a5
                a5 = t
            end
        end
    end
    k = k + 1
end
print(string.format("%g %g", mixed, most))
