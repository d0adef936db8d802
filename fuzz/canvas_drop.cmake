# Drags of any data over the advanced trigger canvas and its drop, on a small condition. The
# canvas needs its window and document model, so the whole library is compiled in.
file(GLOB_RECURSE FUZZ_DROP_LIBRARY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sld/sedq/*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/*.h ${CMAKE_SOURCE_DIR}/host/sli/*.cpp ${CMAKE_SOURCE_DIR}/host/sli/*.h)
add_executable(fuzz_canvas_drop ${CMAKE_CURRENT_SOURCE_DIR}/canvas_drop_fuzz.cpp ${FUZZ_DROP_LIBRARY_SOURCES})
target_link_libraries(fuzz_canvas_drop PRIVATE fuzz_host)
