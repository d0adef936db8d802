# Drags of any data over the advanced trigger canvas and its drop, on a small condition. The
# canvas needs its window and document model: the whole library is linked in.
add_executable(fuzz_canvas_drop ${CMAKE_CURRENT_SOURCE_DIR}/canvas_drop_fuzz.cpp)
target_link_libraries(fuzz_canvas_drop PRIVATE fuzz_library_rest fuzz_stored fuzz_flow fuzz_numbers
  fuzz_plugin_records fuzz_tcl_args fuzz_mnemonic_sets fuzz_host)
