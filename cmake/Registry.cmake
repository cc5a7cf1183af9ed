# The installation's class registrations: the one writer of the module folder's
# registry/HKCR.reg. Each deliverable adds its keys with nivra_registry_fragment(); the file is
# written once at generate time, when every folder has added its fragment, so the fragments may
# name targets ($<TARGET_FILE:...>) defined anywhere in the tree.

add_library(nivra_registry INTERFACE)
set_property(TARGET nivra_registry PROPERTY NIVRA_REGISTRY_NAMES "")
set_property(TARGET nivra_registry PROPERTY NIVRA_REGISTRY_CONTENT "")

# nivra_registry_fragment(NAME CONTENT): appends the keys of one class in .reg syntax. CONTENT
# starts with the blank line before its first key and ends with a line end; it may hold
# generator expressions. Fragments keep the order they were added in; a NAME is added once.
function(nivra_registry_fragment name content)
  get_property(names TARGET nivra_registry PROPERTY NIVRA_REGISTRY_NAMES)
  if(name IN_LIST names)
    message(FATAL_ERROR "Registry fragment ${name} is added twice")
  endif()
  set_property(TARGET nivra_registry APPEND PROPERTY NIVRA_REGISTRY_NAMES ${name})
  set_property(TARGET nivra_registry APPEND_STRING PROPERTY NIVRA_REGISTRY_CONTENT "${content}")
endfunction()

file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bin/registry/HKCR.reg CONTENT
"Windows Registry Editor Version 5.00
$<TARGET_GENEX_EVAL:nivra_registry,$<TARGET_PROPERTY:nivra_registry,NIVRA_REGISTRY_CONTENT>>")
