target_link_libraries(nivra-tool PRIVATE nivra_ui nivra_platform_qt Qt6::Widgets)
