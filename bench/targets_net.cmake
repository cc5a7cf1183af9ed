# Network clients: in-process download throughput over loopback. The whole-process comparison
# with curl is bench/net/download_throughput.sh.
nivra_benchmark(bench_net_download
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/net/bench_net_download.cpp
          ${PROJECT_SOURCE_DIR}/tests/support/test_process.cpp
  LINK nivra_net)
target_compile_definitions(bench_net_download PRIVATE
  NIVRA_NET_TEST_SCRIPTS="${PROJECT_SOURCE_DIR}/tests/net/scripts")
