# Linked like nivra (same shared libraries to load), but only parses its arguments.
add_executable(nivra_bare_start ${CMAKE_CURRENT_LIST_DIR}/bare_start.cpp)
target_link_libraries(nivra_bare_start PRIVATE nivra_options nivra_app)
target_link_options(nivra_bare_start PRIVATE -Wl,--no-as-needed)
