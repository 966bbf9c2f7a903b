my $n = 300; # size
# Sums of products read from text: the blanks taken out, each operator made a
# field of its own (-1 for +, -2 for -, -3 for *), the fields split into the
# array and the terms worked out from the last field back.
my @texts = (
    "12 * 3 + 45 - 6 * 7 * 2 + 100 - 3 * 3 * 3 + 8 * 9 - 10",
    "7 + 8 * 9 * 2 - 44 + 3 * 3 + 120 - 5 * 6 - 1 + 2 * 2 * 2",
    "99 - 9 * 9 + 6 * 7 - 14 + 3 * 11 * 2 - 8 + 50 * 2",
    "5 * 5 * 5 - 100 + 36 - 6 * 6 + 17 * 3 - 49 + 2 - 1",
);
my $sum = 0;
my $pass = 0;
while ($pass < $n) {
    my $text = $texts[$pass % 4];
    $text =~ s/ //g;
    $text =~ s/-/,-2,/g;
    $text =~ s/\+/,-1,/g;
    $text =~ s/\*/,-3,/g;
    my @a = map { $_ + 0 } split(/,/, $text);
    my $left = scalar(@a);
    my $value = 0;
    my $product = 1;
    while ($left > 0) {
        my $x = pop(@a);
        $left = $left - 1;
        if ($x >= 0) {
            $product = $product * $x;
        } elsif ($x == -1) {
            $value = $value + $product;
            $product = 1;
        } elsif ($x == -2) {
            $value = $value - $product;
            $product = 1;
        }
    }
    $value = $value + $product;
    $sum = ($sum + $value * ($pass % 3 + 1)) % 1000003;
    $pass = $pass + 1;
}
printf("%g\n", $sum);
