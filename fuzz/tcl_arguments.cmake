# The Tcl package's argument parsing: argument vectors for every command, and -schema texts.
add_executable(fuzz_tcl_arguments ${CMAKE_CURRENT_SOURCE_DIR}/tcl_arguments_fuzz.cpp)
target_link_libraries(fuzz_tcl_arguments PRIVATE fuzz_tcl_args fuzz_host)
