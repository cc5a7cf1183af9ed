# Private links: decoding a typical link, and one AES block (compare with openssl through
# bench/link_decode_vs_openssl.sh).
nivra_benchmark(bench_link_decode SOURCES bench_link_decode.cpp
  LINK nivra_player_links nivra_player_links_encoder)
