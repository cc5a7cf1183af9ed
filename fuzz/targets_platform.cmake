nivra_fuzz_target(ini_file_fuzz ${CMAKE_CURRENT_LIST_DIR}/ini_file_fuzz.cpp LINK nivra_platform)
nivra_fuzz_target(window_frame_fuzz ${CMAKE_CURRENT_LIST_DIR}/window_frame_fuzz.cpp LINK nivra_platform)
