# Skinned controls: the lines of the scrolling-text lists.
nivra_fuzz_target(roll_entry_fuzz ${CMAKE_CURRENT_LIST_DIR}/roll_entry_fuzz.cpp LINK nivra_ui_core)
