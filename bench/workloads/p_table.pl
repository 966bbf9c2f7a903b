my $n = 40; # size
# Paths through a table of 10 rows and 60 columns from the right and from the
# row above, counted modulo 10, some cells closed. Each row is kept as text: it
# is written cell by cell before an S, from the last cell back, and read back
# with split and pop.
my $width = 60;
my $height = 10;
my $sum = 0;
my $pass = 0;
while ($pass < $n) {
    my @above = map { $_ + 0 } split(/,/, "1," x $width);
    my $row = 0;
    while ($row < $height) {
        my $text = "S";
        my $right = 0;
        my $total = 0;
        my $col = $width - 1;
        while ($col >= 0) {
            my $v = (pop(@above) + $right) % 10;
            if (($row * 7 + $col * 3 + $pass) % 11 == 0) {
                $v = 0;
            }
            $text =~ s/S/S$v,/g;
            $right = $v;
            $total = $total + $v;
            $col = $col - 1;
        }
        $text =~ s/S//g;
        @above = map { $_ + 0 } split(/,/, $text);
        $sum = ($sum * 7 + $total * ($row + 1)) % 1000003;
        $row = $row + 1;
    }
    $pass = $pass + 1;
}
printf("%g\n", $sum);
