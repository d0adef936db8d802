# Bus values of advanced trigger objects against a plain reference parse.
add_executable(fuzz_object_value ${CMAKE_CURRENT_SOURCE_DIR}/object_value_fuzz.cpp)
target_link_libraries(fuzz_object_value PRIVATE fuzz_stored fuzz_host)
