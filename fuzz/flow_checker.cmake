# State flow checker: any byte string as the trigger's names and its unified flow text.
add_executable(fuzz_flow_checker
  ${CMAKE_CURRENT_SOURCE_DIR}/flow_checker_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/host/sdr/sdr_flow_checker.cpp)
target_include_directories(fuzz_flow_checker PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(fuzz_flow_checker PRIVATE ${SEDQ_FUZZ_FLAGS})
target_link_options(fuzz_flow_checker PRIVATE ${SEDQ_FUZZ_FLAGS})
