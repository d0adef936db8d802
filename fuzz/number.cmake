# Bus value parsers and conversions, with the host message stand-in for internal-error reports.
add_executable(fuzz_number
  ${CMAKE_CURRENT_SOURCE_DIR}/number_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_bits.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_digits.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_format.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_parse.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_bus.cpp)
target_link_libraries(fuzz_number PRIVATE fuzz_host)
