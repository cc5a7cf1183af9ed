# Catalogue: a 10,000-entry top-level document into the tree model (beside nlohmann-json parsing
# the same text alone) and a 10,000-entry history, with the peak heap use of each.
nivra_benchmark(bench_catalogue SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_catalogue.cpp
  LINK nivra_catalogue)
