# Ad scheduler: its CPU and memory over an hour of virtual time against an answering server. The
# pop-up latency of the real program is bench/ad_popup_latency.py.
nivra_benchmark(bench_ad_scheduler
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ad_scheduler.cpp
  LINK nivra_ads)
