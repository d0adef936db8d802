# Payload header of a data log on its own: any byte string as a payload entry's head.
add_executable(fuzz_payload_header ${CMAKE_CURRENT_SOURCE_DIR}/payload_header_fuzz.cpp)
target_link_libraries(fuzz_payload_header PRIVATE fuzz_host)
