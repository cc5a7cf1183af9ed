# The same command-line parsing as nivra in a binary that does nothing else.
add_executable(nivra_bare_start ${CMAKE_CURRENT_LIST_DIR}/bare_start.cpp)
target_link_libraries(nivra_bare_start PRIVATE nivra_options nivra_app)
