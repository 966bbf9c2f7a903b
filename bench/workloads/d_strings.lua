local n = 100000 -- size
local t = "The quick brown fox jumps over the lazy dog, while five boxing wizards jump quickly at dawn today!!!"
local result = ""
local k = 0
while k < n do
    local replaced = string.gsub(t, "o", "0")
    local start = k % 50
    local part = string.sub(replaced, start + 1, start + 40)
    result = string.upper(part)
    k = k + 1
end
print(result)
