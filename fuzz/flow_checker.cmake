# State flow checker and the editor's reading of a flow: any byte string as the trigger's names
# and its unified flow text.
file(GLOB FUZZ_FLOW_OBJECT_SOURCES ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_object*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_property*.cpp)
list(FILTER FUZZ_FLOW_OBJECT_SOURCES EXCLUDE REGEX "(widget|find)")
add_executable(fuzz_flow_checker ${CMAKE_CURRENT_SOURCE_DIR}/flow_checker_fuzz.cpp
  ${FUZZ_FLOW_OBJECT_SOURCES}
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_trigger_object.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_state_machine_object.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_flow_rename.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/state_flow/sedq_flow_language.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/state_flow/sedq_highlight_rules.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/state_flow/sedq_state_graph.cpp)
target_link_libraries(fuzz_flow_checker PRIVATE fuzz_host)
