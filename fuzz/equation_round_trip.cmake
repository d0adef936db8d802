# Stored equations rebuilt as diagrams and written again.
file(GLOB FUZZ_EQUATION_SOURCES ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_object*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_property*.cpp)
list(FILTER FUZZ_EQUATION_SOURCES EXCLUDE REGEX "(widget|find|draw)")
add_executable(fuzz_equation_round_trip
  ${CMAKE_CURRENT_SOURCE_DIR}/equation_round_trip_fuzz.cpp
  ${FUZZ_EQUATION_SOURCES}
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_trigger_object.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.cpp)
target_link_libraries(fuzz_equation_round_trip PRIVATE fuzz_host)
