local n = 200000 -- size
for k = 0, n - 1 do
    io.write(string.format("line %g %g end\n", k, k * 0.5))
end
