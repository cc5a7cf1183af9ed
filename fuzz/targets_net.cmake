# Network clients: FTP reply handling and the pipe reply reader.
nivra_fuzz_target(ftp_reply_fuzz ${CMAKE_CURRENT_LIST_DIR}/ftp_reply_fuzz.cpp LINK nivra_net)
nivra_fuzz_target(pipe_reply_fuzz ${CMAKE_CURRENT_LIST_DIR}/pipe_reply_fuzz.cpp LINK nivra_net)
