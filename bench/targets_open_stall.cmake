# Playback engine: the GUI thread's longest stall while a slow stream opens (bench/open_stall.py
# serves the stream and runs this program).
add_executable(nivra_open_stall ${CMAKE_CURRENT_LIST_DIR}/open_stall.cpp)
target_link_libraries(nivra_open_stall PRIVATE nivra_options nivra_player_gst nivra_player
                      nivra_platform_qt Qt6::Core)
