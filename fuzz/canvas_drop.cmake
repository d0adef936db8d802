# Drags of any data over the advanced trigger canvas and its drop, on a small condition. The
# canvas needs its window and document model: the whole library is linked in.
add_executable(fuzz_canvas_drop ${CMAKE_CURRENT_SOURCE_DIR}/canvas_drop_fuzz.cpp)
target_link_libraries(fuzz_canvas_drop PRIVATE fuzz_canvas_library fuzz_host)
sedq_fuzz_canvas_target(fuzz_canvas_drop ${CMAKE_CURRENT_SOURCE_DIR}/canvas_drop_fuzz.cpp)
