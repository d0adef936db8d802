# Bus value parsers and conversions, with the host message stand-in for internal-error reports.
add_executable(fuzz_number ${CMAKE_CURRENT_SOURCE_DIR}/number_fuzz.cpp)
target_link_libraries(fuzz_number PRIVATE fuzz_numbers fuzz_host)
