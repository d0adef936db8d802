# Keypoint file reader: any byte string as a keypoint file, loaded and composed with itself.
add_executable(fuzz_keypoint ${CMAKE_CURRENT_SOURCE_DIR}/keypoint_fuzz.cpp)
target_link_libraries(fuzz_keypoint PRIVATE fuzz_host)
