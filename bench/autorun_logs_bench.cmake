# The serial decoder the decoded cases load is built with the tests' decoder plug-ins.
target_compile_definitions(${name} PRIVATE SEDQ_DECODER_DIR="${CMAKE_BINARY_DIR}/decoders")
if(TARGET sld_sed_uart)
  add_dependencies(${name} sld_sed_uart)
endif()
