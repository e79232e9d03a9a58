# bench_tables is defined here.
