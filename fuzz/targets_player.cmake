# Private links: Decode over arbitrary texts, with and without the link prefix.
nivra_fuzz_target(link_decode_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/link_decode_fuzz.cpp LINK nivra_platform)
if(NIVRA_FUZZ)
  # Libraries are built without the fuzzer's instrumentation; compile the decoder in.
  target_sources(link_decode_fuzz PRIVATE ${NIVRA_LINK_DECODER_SOURCES})
else()
  target_link_libraries(link_decode_fuzz PRIVATE nivra_player)
endif()
