target_link_libraries(nivra-tool PRIVATE nivra_catalogue)
