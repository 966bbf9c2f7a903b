my $n = 100000; # size
my $t = "The quick brown fox jumps over the lazy dog, while five boxing wizards jump quickly at dawn today!!!";
my $result = "";
my $k = 0;
while ($k < $n) {
    (my $replaced = $t) =~ s/o/0/g;
    my $part = substr($replaced, $k % 50, 40);
    $result = uc($part);
    $k = $k + 1;
}
print "$result\n";
