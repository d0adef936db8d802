# The application test runs the built host application and its demo tool, and drives the
# host side of the application in-process (its options and its window handling) through the
# objects the program is linked from.
add_dependencies(test_${name} vantrel vantrel_make_demo)
target_link_libraries(test_${name} PRIVATE vantrel_app)
target_compile_definitions(test_${name} PRIVATE SEDQ_LIBRARY_PATH="$<TARGET_FILE:sld_sedq>")
# A library whose window factory answers null, for the host's handling of a failed factory.
add_library(vantrel_null_factory SHARED ${CMAKE_CURRENT_LIST_DIR}/fixtures/null_factory.cpp)
add_dependencies(test_${name} vantrel_null_factory)
target_compile_definitions(test_${name} PRIVATE NULL_FACTORY_LIBRARY_PATH="$<TARGET_FILE:vantrel_null_factory>")
