my $n = 600000; # size
my $a0 = 1;
my $a1 = 2;
my $a2 = 3;
my $a3 = 4;
my $a4 = 5;
my $a5 = 6;
my $b0 = 0;
my $b1 = 0;
my $b2 = 0;
my $b3 = 0;
my $b4 = 0;
my $b5 = 0;
my $t = 0;
my $seed = 1;
my $s = 0;
my $flips = 0;
my $most = 0;
my $mixed = 0;
my $k = 0;
# A walk over the orders of six numbers, one swap of neighbours a pass, each order
# flipped by its first number until 1 comes first.
while ($k < $n) {
    $b0 = $a0;
    $b1 = $a1;
    $b2 = $a2;
    $b3 = $a3;
    $b4 = $a4;
    $b5 = $a5;
    $flips = 0;
    while ($b0 != 1) {
        if ($b0 < 4) {
            if ($b0 < 3) {
                $t = $b0;
                $b0 = $b1;
                $b1 = $t;
            } else {
                $t = $b0;
                $b0 = $b2;
                $b2 = $t;
            }
        } else {
            if ($b0 < 5) {
                $t = $b0;
                $b0 = $b3;
                $b3 = $t;
                $t = $b1;
                $b1 = $b2;
                $b2 = $t;
            } else {
                if ($b0 < 6) {
                    $t = $b0;
                    $b0 = $b4;
                    $b4 = $t;
                    $t = $b1;
                    $b1 = $b3;
                    $b3 = $t;
                } else {
                    $t = $b0;
                    $b0 = $b5;
                    $b5 = $t;
                    $t = $b1;
                    $b1 = $b4;
                    $b4 = $t;
                    $t = $b2;
                    $b2 = $b3;
                    $b3 = $t;
                }
            }
        }
        $flips = $flips + 1;
    }
    if ($flips > $most) {
        $most = $flips;
    }
    $mixed = ($mixed * 31 + $flips) % 999983;
    $seed = $seed * 75 % 65537;
    $s = $seed % 5;
    if ($s < 2) {
        if ($s < 1) {
            $t = $a0;
            $a0 = $a1;
            $a1 = $t;
        } else {
            $t = $a1;
            $a1 = $a2;
            $a2 = $t;
        }
    } else {
        if ($s < 3) {
            $t = $a2;
            $a2 = $a3;
            $a3 = $t;
        } else {
            if ($s < 4) {
                $t = $a3;
                $a3 = $a4;
                $a4 = $t;
            } else {
                $t = $a4;
                $a4 = $a5;
                $a5 = $t;
            }
        }
    }
    $k = $k + 1;
}
printf("%g %g\n", $mixed, $most);
