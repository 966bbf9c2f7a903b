n = 100000  # size
t = "The quick brown fox jumps over the lazy dog, while five boxing wizards jump quickly at dawn today!!!"
result = ""
k = 0
while k < n:
    replaced = t.replace("o", "0")
    start = k % 50
    part = replaced[start:start + 40]
    result = part.upper()
    k = k + 1
print(result)
