my $n = 1000000; # size
my ($a, $b, $c, $d) = (0, 0, 0, 0);
for (my $j = 1; $j <= $n; $j = $j + 1) {
    if ($j % 15 == 0) {
        $a = $a + 1;
    } else {
        if ($j % 3 == 0) {
            $b = $b + 1;
        } else {
            if ($j % 5 == 0) {
                $c = $c + 1;
            } else {
                $d = $d + 1;
            }
        }
    }
}
printf("%g %g %g %g\n", $a, $b, $c, $d);
