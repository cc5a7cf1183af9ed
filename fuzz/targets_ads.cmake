# Advertising: ad server replies.
nivra_fuzz_target(ads_reply_fuzz ${CMAKE_CURRENT_LIST_DIR}/ads_reply_fuzz.cpp LINK nivra_ads)
