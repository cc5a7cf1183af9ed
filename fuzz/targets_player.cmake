# Private links: Decode over arbitrary texts, with and without the link prefix.
nivra_fuzz_target(link_decode_fuzz ${CMAKE_CURRENT_LIST_DIR}/link_decode_fuzz.cpp
  LINK nivra_player_links)
