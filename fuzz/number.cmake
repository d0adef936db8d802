# Bus value parsers and conversions, with the host message stand-in for internal-error reports.
add_executable(fuzz_number
  ${CMAKE_CURRENT_SOURCE_DIR}/number_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_bits.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_digits.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_format.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/model/sedq_number_parse.cpp
  ${CMAKE_SOURCE_DIR}/sld/sedq/view/sedq_bus.cpp
  ${CMAKE_SOURCE_DIR}/host/msg.cpp
  ${CMAKE_SOURCE_DIR}/host/standin/standin.cpp
  ${CMAKE_SOURCE_DIR}/host/tst.cpp)
target_include_directories(fuzz_number PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/sld)
target_compile_options(fuzz_number PRIVATE ${SEDQ_FUZZ_FLAGS})
target_link_options(fuzz_number PRIVATE ${SEDQ_FUZZ_FLAGS})
target_link_libraries(fuzz_number PRIVATE Qt5::Widgets)
