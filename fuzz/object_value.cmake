# Bus values of advanced trigger objects against a plain reference parse.
file(GLOB FUZZ_OBJECT_SOURCES ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_object*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_property*.cpp)
list(FILTER FUZZ_OBJECT_SOURCES EXCLUDE REGEX "(widget|find|draw)")
add_executable(fuzz_object_value
  ${CMAKE_CURRENT_SOURCE_DIR}/object_value_fuzz.cpp
  ${FUZZ_OBJECT_SOURCES}
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_trigger_object.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.cpp)
target_link_libraries(fuzz_object_value PRIVATE fuzz_host)
