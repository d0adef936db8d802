# The decoder plug-ins the tests load: the serial decoder and the variants of the faulty one,
# each a module "libsld_sed_<variant>.so" in one folder; the tests copy the ones a scenario
# needs into a folder of its own and make that the host's module directory.
set(SEDQ_DECODER_DIR ${CMAKE_BINARY_DIR}/decoders)
target_compile_definitions(test_${name} PRIVATE SEDQ_DECODER_DIR="${SEDQ_DECODER_DIR}")

function(sedq_decoder target source)
  add_library(${target} MODULE ${CMAKE_CURRENT_LIST_DIR}/decoders/${source})
  target_link_libraries(${target} PRIVATE Qt5::Core)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/sld)
  set_target_properties(${target} PROPERTIES PREFIX "lib" LIBRARY_OUTPUT_DIRECTORY ${SEDQ_DECODER_DIR}
    CXX_VISIBILITY_PRESET hidden)
  target_compile_definitions(${target} PRIVATE ${ARGN})
  add_dependencies(test_plugins ${target})
endfunction()

sedq_decoder(sld_sed_uart sld_sed_uart.cpp)
sedq_decoder(sld_sed_faulty sld_sed_faulty.cpp)
sedq_decoder(sld_sed_version2 sld_sed_faulty.cpp FAULTY_VERSION=2)
sedq_decoder(sld_sed_version4 sld_sed_faulty.cpp FAULTY_VERSION=4)
sedq_decoder(sld_sed_version_fails sld_sed_faulty.cpp FAULTY_VERSION_RESULT=1)
sedq_decoder(sld_sed_no_close_table sld_sed_faulty.cpp FAULTY_NO_CLOSE_TABLE)
sedq_decoder(sld_sed_open_fails sld_sed_faulty.cpp FAULTY_NAME="broken" FAULTY_OPEN_RESULT=7)
sedq_decoder(sld_sed_dup_first sld_sed_faulty.cpp FAULTY_NAME="dup" FAULTY_UNIT="first")
sedq_decoder(sld_sed_dup_second sld_sed_faulty.cpp FAULTY_NAME="dup" FAULTY_UNIT="second")
sedq_decoder(sld_sed_zeta sld_sed_faulty.cpp FAULTY_NAME="Zeta")
sedq_decoder(sld_sed_alpha sld_sed_faulty.cpp FAULTY_NAME="alpha")
sedq_decoder(sld_sed_calls_fail sld_sed_faulty.cpp FAULTY_CALL_RESULT=1)
sedq_decoder(sld_sed_long_texts sld_sed_faulty.cpp FAULTY_LONG_TEXT)
sedq_decoder(sld_sed_messages sld_sed_faulty.cpp FAULTY_NAME="messages" FAULTY_OPTION_MESSAGES)
sedq_decoder(sld_sed_silent sld_sed_faulty.cpp FAULTY_NAME="silent" FAULTY_CALL_RESULT=1 FAULTY_NO_ERROR_TEXT)
