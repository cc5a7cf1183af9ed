# The Flash path of the playback engine: the bridge to the Flash movie, the Flash class, the
# web-video sites, segment lists, the resolver client and watch-time accounting.
nivra_library(nivra_player_flash
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/flash_class.cpp
          ${CMAKE_CURRENT_LIST_DIR}/flash_media_player.cpp
          ${CMAKE_CURRENT_LIST_DIR}/resolver_client.cpp
          ${CMAKE_CURRENT_LIST_DIR}/web_sites.cpp
  LINK nivra_player nivra_platform ${CMAKE_DL_LIBS})

# The Flash path joined to the player control: FlashBridge and FlashEnvironment over the pieces
# above.
nivra_library(nivra_player_flash_environment
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/flash_environment.cpp
  LINK nivra_player_flash nivra_player_engine nivra_platform)
