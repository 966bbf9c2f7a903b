local n = 100 -- size
-- A phone keypad's key presses read as letters: a key pressed again moves on
-- to its next letter, 1 ends a letter, 0 is a blank. Each letter and blank
-- goes into a running sum.
local t = "844330778844422255022777666966033366699058867177770666888337770844330555299991999036664"
local size = 87
local sum = 0
local pass = 0
local function flag(holds) return holds and 1 or 0 end
while pass < n do
    local key = 1
    local count = 0
    local at = 0
    while at < size do
        local d = tonumber(string.sub(t, at + 1, at + 1))
        if d < 2 then
            if key > 1 then
                sum = (sum * 27 + (key - 2) * 3 + flag(key > 7) + count) % 1000003
            end
            if d == 0 then
                sum = sum * 27 % 1000003
            end
            key = 1
        else
            if d == key then
                count = count + 1
                if count > 3 + flag(key == 7) + flag(key == 9) then
                    count = 1
                end
            else
                if key > 1 then
                    sum = (sum * 27 + (key - 2) * 3 + flag(key > 7) + count) % 1000003
                end
                key = d
                count = 1
            end
        end
        at = at + 1
    end
    if key > 1 then
        sum = (sum * 27 + (key - 2) * 3 + flag(key > 7) + count) % 1000003
    end
    sum = (sum + pass) % 1000003
    pass = pass + 1
end
print(string.format("%g", sum))
