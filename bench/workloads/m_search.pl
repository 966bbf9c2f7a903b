my $n = 400; # size
# Queens on boards of 5 and 6 squares, searched depth first: the array holds,
# for each queen placed, its column and its two diagonals, and a square is
# free when none of the three is there.
my $total = 0;
my $pass = 0;
while ($pass < $n) {
    my $q = 5 + $pass % 2;
    my @a = ();
    my ($row, $col, $back, $going, $found) = (0, 0, 0, 1, 0);
    while ($going) {
        if ($row == $q) {
            $found = $found + 1;
            $back = 1;
        }
        if ($back) {
            if ($row == 0) {
                $going = 0;
            } else {
                $row = $row - 1;
                pop(@a);
                pop(@a);
                $col = pop(@a) + 1;
                $back = 0;
            }
        } else {
            if ($col < $q) {
                my $d1 = 100 + $col - $row;
                my $d2 = 200 + $col + $row;
                my $taken = (grep { $_ == $col } @a) ? 1 : 0;
                $taken = $taken + ((grep { $_ == $d1 } @a) ? 1 : 0);
                $taken = $taken + ((grep { $_ == $d2 } @a) ? 1 : 0);
                if ($taken == 0) {
                    push(@a, $col, $d1, $d2);
                    $row = $row + 1;
                    $col = 0;
                } else {
                    $col = $col + 1;
                }
            } else {
                $back = 1;
            }
        }
    }
    $total = $total + $found * ($pass % 5 + 1);
    $pass = $pass + 1;
}
printf("%g\n", $total);
