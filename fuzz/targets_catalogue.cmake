# Catalogue: documents into trees, the XML link lists, and the history files.
if(NIVRA_FUZZ)
  # Imported targets are per folder: find the catalogue's dependencies here as well.
  find_package(CURL REQUIRED)
  find_package(nlohmann_json 3.10 REQUIRED)
  find_package(pugixml REQUIRED)
endif()
foreach(target catalogue_document_fuzz link_list_fuzz history_file_fuzz)
  nivra_fuzz_target(${target} ${CMAKE_CURRENT_LIST_DIR}/${target}.cpp)
  if(NIVRA_FUZZ)
    # Libraries are built without the fuzzer's instrumentation; compile the catalogue in.
    target_sources(${target} PRIVATE ${NIVRA_CATALOGUE_SOURCES})
    target_link_libraries(${target} PRIVATE ${NIVRA_CATALOGUE_DEPS})
  else()
    target_link_libraries(${target} PRIVATE nivra_catalogue)
  endif()
endforeach()
