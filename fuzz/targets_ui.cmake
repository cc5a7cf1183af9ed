# Skinned controls: the lines of the scrolling-text lists.
nivra_fuzz_target(roll_entry_fuzz ${CMAKE_CURRENT_LIST_DIR}/roll_entry_fuzz.cpp)
if(NIVRA_FUZZ)
  # Libraries are built without the fuzzer's instrumentation; compile the parser in.
  target_sources(roll_entry_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/ui/roll_entry.cpp)
else()
  target_link_libraries(roll_entry_fuzz PRIVATE nivra_ui_core)
endif()
