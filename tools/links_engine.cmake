# The play and channel-copy subcommands: the player control, its GStreamer graph and widget.
target_link_libraries(nivra-tool PRIVATE nivra_player_gst nivra_player_widget nivra_player_engine
                      nivra_player_flash_environment nivra_platform_qt Qt6::Widgets)

# play loads the movie runtime and the resolver from the module folder at run time.
function(nivra_tool_uses_flash_stand_ins)
  foreach(stand_in nvrmovie decode)
    if(TARGET ${stand_in})
      add_dependencies(nivra-tool ${stand_in})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL nivra_tool_uses_flash_stand_ins)
