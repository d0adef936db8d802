# Programming file reader: any byte string as a programming file, read and exported the way
# programming and the file's instance list read it.
add_executable(fuzz_programming_file ${CMAKE_CURRENT_SOURCE_DIR}/programming_file_fuzz.cpp)
target_link_libraries(fuzz_programming_file PRIVATE fuzz_host)
