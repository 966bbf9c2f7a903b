my $n = 80000; # size
my $total = 0;
my $error = 0;
my $x = 1;
while ($x <= $n) {
    my $g = $x / 2 + 1;
    while (abs($g * $g - $x) > 0.000001 * $x) {
        $g = ($g + $x / $g) / 2;
    }
    $total = $total + $g;
    $error = $error + abs($g - sqrt($x));
    $x = $x + 1;
}
printf("%g %g\n", $total, $error);
