# The advanced trigger canvas's commands in any order on a generated condition. The canvas
# needs its window and document model, so the whole library is compiled in.
# The exporters of host/sli/ are not among the host stand-ins every target shares.
file(GLOB_RECURSE FUZZ_LIBRARY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sld/sedq/*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/*.h ${CMAKE_SOURCE_DIR}/host/sli/*.cpp ${CMAKE_SOURCE_DIR}/host/sli/*.h)
add_executable(fuzz_canvas_commands ${CMAKE_CURRENT_SOURCE_DIR}/canvas_commands_fuzz.cpp ${FUZZ_LIBRARY_SOURCES})
target_link_libraries(fuzz_canvas_commands PRIVATE fuzz_host)
