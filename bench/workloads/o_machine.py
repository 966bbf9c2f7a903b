n = 100  # size
# A phone keypad's key presses read as letters: a key pressed again moves on
# to its next letter, 1 ends a letter, 0 is a blank. Each letter and blank
# goes into a running sum.
t = "844330778844422255022777666966033366699058867177770666888337770844330555299991999036664"
size = 87
total = 0
pass_ = 0
while pass_ < n:
    key = 1
    count = 0
    at = 0
    while at < size:
        d = float(t[at])
        if d < 2:
            if key > 1:
                total = (total * 27 + (key - 2) * 3 + (key > 7) + count) % 1000003
            if d == 0:
                total = total * 27 % 1000003
            key = 1
        else:
            if d == key:
                count = count + 1
                if count > 3 + (key == 7) + (key == 9):
                    count = 1
            else:
                if key > 1:
                    total = (total * 27 + (key - 2) * 3 + (key > 7) + count) % 1000003
                key = d
                count = 1
        at = at + 1
    if key > 1:
        total = (total * 27 + (key - 2) * 3 + (key > 7) + count) % 1000003
    total = (total + pass_) % 1000003
    pass_ = pass_ + 1
print("%g" % total)
