# test_views_charts (the three charts) is defined here.
