# The mnemonic setup's working copy: typed patterns and symbols through inserts, edits and deletes.
add_executable(fuzz_mnemonic_working_copy ${CMAKE_CURRENT_SOURCE_DIR}/mnemonic_working_copy_fuzz.cpp)
target_link_libraries(fuzz_mnemonic_working_copy PRIVATE fuzz_mnemonic_sets fuzz_host)
