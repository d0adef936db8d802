# Project fixture reader: any byte string as a fixture, its netlists built and its stimuli run.
add_executable(fuzz_fixture ${CMAKE_CURRENT_SOURCE_DIR}/fixture_fuzz.cpp)
target_link_libraries(fuzz_fixture PRIVATE fuzz_host)
