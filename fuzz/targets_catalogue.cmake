# Catalogue: documents into trees, the XML link lists, and the history files. One call per line:
# scripts/fuzz finds the targets by these lines.
nivra_fuzz_target(catalogue_document_fuzz ${CMAKE_CURRENT_LIST_DIR}/catalogue_document_fuzz.cpp
  LINK nivra_catalogue)
nivra_fuzz_target(link_list_fuzz ${CMAKE_CURRENT_LIST_DIR}/link_list_fuzz.cpp LINK nivra_catalogue)
nivra_fuzz_target(history_file_fuzz ${CMAKE_CURRENT_LIST_DIR}/history_file_fuzz.cpp
  LINK nivra_catalogue)
