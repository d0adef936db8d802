# Stored equations rebuilt as diagrams and written again.
add_executable(fuzz_equation_round_trip ${CMAKE_CURRENT_SOURCE_DIR}/equation_round_trip_fuzz.cpp)
target_link_libraries(fuzz_equation_round_trip PRIVATE fuzz_stored fuzz_host)
