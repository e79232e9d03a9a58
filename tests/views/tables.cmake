# test_views_tables (grid markup, the four grids) is defined here.
