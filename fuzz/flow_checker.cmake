# State flow checker and the editor's reading of a flow: any byte string as the trigger's names
# and its unified flow text.
add_executable(fuzz_flow_checker ${CMAKE_CURRENT_SOURCE_DIR}/flow_checker_fuzz.cpp)
target_link_libraries(fuzz_flow_checker PRIVATE fuzz_stored fuzz_flow fuzz_host)
