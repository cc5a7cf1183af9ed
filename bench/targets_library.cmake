# Library panel: a 10,000-entry list document into the panel (model load, OpenListLink until the
# first paint, scrolling frames) on Qt's offscreen platform.
nivra_benchmark(bench_library_panel SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_library_panel.cpp
  LINK nivra_catalogue_panel Qt6::Widgets)
# A bare web view loading one page, beside the main window's library page
# (library_page_vs_webview.py).
find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineWidgets)
add_executable(nivra_bare_webview ${CMAKE_CURRENT_LIST_DIR}/bare_webview.cpp)
target_link_libraries(nivra_bare_webview PRIVATE nivra_options Qt6::WebEngineWidgets)
