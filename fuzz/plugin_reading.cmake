# What a decoder plug-in hands back (its name buffer, unit names and counts, display texts, the
# table records of an attach and the messages about its options),
# read through the analyzer's reading code from a fake plug-in's function.
add_executable(fuzz_plugin_reading ${CMAKE_CURRENT_SOURCE_DIR}/plugin_reading_fuzz.cpp)
target_link_libraries(fuzz_plugin_reading PRIVATE fuzz_plugin_records fuzz_host)
