my $n = 200000; # size
for (my $k = 0; $k < $n; $k = $k + 1) {
    printf("line %g %g end\n", $k, $k * 0.5);
}
