# Advanced levels on the simulated device: random equations over random short stimuli against a
# naive evaluator.
add_executable(fuzz_device_condition ${CMAKE_CURRENT_SOURCE_DIR}/device_condition_fuzz.cpp)
target_link_libraries(fuzz_device_condition PRIVATE fuzz_host)
