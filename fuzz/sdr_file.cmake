# Analyzer file reader: any byte string as a ".vtl" file. A file that reads must also write
# and read again; the data model behind the reader is the repository stand-in.
# Conditions read are also rebuilt as advanced trigger objects and laid out.
add_executable(fuzz_sdr_file ${CMAKE_CURRENT_SOURCE_DIR}/sdr_file_fuzz.cpp)
target_link_libraries(fuzz_sdr_file PRIVATE fuzz_stored fuzz_host)
