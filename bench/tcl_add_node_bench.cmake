# The benchmark opens the demo in the host application, which loads the built library.
target_link_libraries(${name} PRIVATE vantrel_app)
add_dependencies(${name} vantrel)
target_compile_definitions(${name} PRIVATE SEDQ_LIBRARY_PATH="$<TARGET_FILE:sld_sedq>"
  SEDQ_EXAMPLES_DIR="${CMAKE_SOURCE_DIR}/examples")
