# The play and channel-copy subcommands: the player control, its GStreamer graph and widget.
target_link_libraries(nivra-tool PRIVATE nivra_player_gst nivra_player_widget nivra_player_engine
                      nivra_platform_qt Qt6::Widgets)
