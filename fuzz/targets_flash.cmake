# The Flash path: the resolver's page analysis and the segment-list addresses of kind-4 links.
nivra_fuzz_target(page_scan_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/page_scan_fuzz.cpp LINK nivra_resolver)
nivra_fuzz_target(segment_list_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/segment_list_fuzz.cpp
  LINK nivra_player_flash)
