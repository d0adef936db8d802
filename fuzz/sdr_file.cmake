# Analyzer file reader: any byte string as a ".vtl" file. A file that reads must also write
# and read again; the data model behind the reader is the repository stand-in.
# Conditions read are also rebuilt as advanced trigger objects and laid out.
file(GLOB FUZZ_SDR_FILE_OBJECT_SOURCES ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_object*.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_property*.cpp)
list(FILTER FUZZ_SDR_FILE_OBJECT_SOURCES EXCLUDE REGEX "(widget|find|draw)")
add_executable(fuzz_sdr_file ${CMAKE_CURRENT_SOURCE_DIR}/sdr_file_fuzz.cpp ${FUZZ_SDR_FILE_OBJECT_SOURCES}
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_trigger_object.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.cpp)
target_link_libraries(fuzz_sdr_file PRIVATE fuzz_host)
