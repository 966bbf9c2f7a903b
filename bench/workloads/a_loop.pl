my $n = 3000000; # size
my $s = 0;
my $k = 0;
while ($k < $n) {
    $s = ($s * 3 + $k * 7 + 1) % 999983;
    $k = $k + 1;
}
printf("%g\n", $s);
