# Playback engine: the player control (Qt-free logic), the GStreamer media graph and audio
# filter element, and the Qt widget that owns the picture area.

pkg_check_modules(NIVRA_GST REQUIRED IMPORTED_TARGET GLOBAL
  gstreamer-1.0 gstreamer-base-1.0 gstreamer-audio-1.0 gstreamer-video-1.0)

# TPlayer and everything of the engine that needs neither GStreamer nor Qt.
nivra_library(nivra_player_engine
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/player.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/player_graph_path.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/player_flash_path.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/player_arithmetic.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/media_graph.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/audio_filter.cpp
  LINK nivra_player nivra_platform)

# The GStreamer backend of MediaGraph and the nivraaudiofilter element.
nivra_library(nivra_player_gst
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/gst_media_graph.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/gst_audio_filter.cpp
  LINK nivra_player_engine nivra_platform PkgConfig::NIVRA_GST)

# The player control's widget.
nivra_library(nivra_player_widget
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/player_widget.cpp
  LINK nivra_player_engine Qt6::Widgets)
