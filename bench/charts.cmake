# bench_charts is defined here.
