# Playback engine: the audio filter's channel copy against memcpy. The whole-process comparison
# of nivra-tool play with gst-launch-1.0 is bench/play_vs_gst_launch.py.
nivra_benchmark(bench_audio_filter SOURCES bench_audio_filter.cpp LINK nivra_player_gst)
