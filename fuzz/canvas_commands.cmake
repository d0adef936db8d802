# The advanced trigger canvas's commands in any order on a generated condition. The canvas
# needs its document model, so the whole library is compiled in.
# The exporters of host/sli/ are not among the host stand-ins every target shares. Only the
# canvas's own code and the document model it writes to are instrumented for coverage: the host
# stand-ins come without it, and the window's other parts as canvas_coverage.txt lists.
add_executable(fuzz_canvas_commands ${CMAKE_CURRENT_SOURCE_DIR}/canvas_commands_fuzz.cpp)
target_link_libraries(fuzz_canvas_commands PRIVATE fuzz_canvas_library fuzz_host_quiet)
sedq_fuzz_canvas_target(fuzz_canvas_commands ${CMAKE_CURRENT_SOURCE_DIR}/canvas_commands_fuzz.cpp)
