# The package's commands run in the host application, in-process and as the built binary.
add_dependencies(test_${name} vantrel)
target_link_libraries(test_${name} PRIVATE vantrel_app)
target_compile_definitions(test_${name} PRIVATE SEDQ_LIBRARY_PATH="$<TARGET_FILE:sld_sedq>")
