# The movie runtime's segment joins (compare with gst-launch-1.0 concat through
# bench/segment_joins_vs_concat.py).
nivra_benchmark(bench_segment_joins SOURCES bench_segment_joins.cpp LINK nivra_movie)
