my $n = 100; # size
# A phone keypad's key presses read as letters: a key pressed again moves on
# to its next letter, 1 ends a letter, 0 is a blank. Each letter and blank
# goes into a running sum.
my $t = "844330778844422255022777666966033366699058867177770666888337770844330555299991999036664";
my $size = 87;
my $sum = 0;
my $pass = 0;
while ($pass < $n) {
    my $key = 1;
    my $count = 0;
    my $at = 0;
    while ($at < $size) {
        my $d = substr($t, $at, 1) + 0;
        if ($d < 2) {
            if ($key > 1) {
                $sum = ($sum * 27 + ($key - 2) * 3 + ($key > 7 ? 1 : 0) + $count) % 1000003;
            }
            if ($d == 0) {
                $sum = $sum * 27 % 1000003;
            }
            $key = 1;
        } else {
            if ($d == $key) {
                $count = $count + 1;
                if ($count > 3 + ($key == 7 ? 1 : 0) + ($key == 9 ? 1 : 0)) {
                    $count = 1;
                }
            } else {
                if ($key > 1) {
                    $sum = ($sum * 27 + ($key - 2) * 3 + ($key > 7 ? 1 : 0) + $count) % 1000003;
                }
                $key = $d;
                $count = 1;
            }
        }
        $at = $at + 1;
    }
    if ($key > 1) {
        $sum = ($sum * 27 + ($key - 2) * 3 + ($key > 7 ? 1 : 0) + $count) % 1000003;
    }
    $sum = ($sum + $pass) % 1000003;
    $pass = $pass + 1;
}
printf("%g\n", $sum);
