# The link subcommand: the decoder of the product plus the test-only encoder.
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(nivra-tool PRIVATE nivra_player nivra_player_encoder
                      nlohmann_json::nlohmann_json)
