# Analyzer file reader: any byte string as a ".vtl" file. A file that reads must also write
# and read again. The data model behind the reader pulls in the repository stand-in, so the
# target compiles the host sources it is built from.
file(GLOB SDR_FILE_FUZZ_HOST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/host/*.cpp ${CMAKE_SOURCE_DIR}/host/sdr/*.cpp ${CMAKE_SOURCE_DIR}/host/standin/*.cpp
  ${CMAKE_SOURCE_DIR}/host/*.h ${CMAKE_SOURCE_DIR}/host/sdr/*.h ${CMAKE_SOURCE_DIR}/host/standin/*.h)
add_executable(fuzz_sdr_file ${CMAKE_CURRENT_SOURCE_DIR}/sdr_file_fuzz.cpp ${SDR_FILE_FUZZ_HOST_SOURCES})
target_include_directories(fuzz_sdr_file PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/sld)
target_compile_options(fuzz_sdr_file PRIVATE ${SEDQ_FUZZ_FLAGS})
target_link_options(fuzz_sdr_file PRIVATE ${SEDQ_FUZZ_FLAGS})
find_package(ZLIB REQUIRED)
target_link_libraries(fuzz_sdr_file PRIVATE Qt5::Core Qt5::Gui Qt5::Widgets Qt5::PrintSupport PkgConfig::TCL
  PkgConfig::LIBZIP ZLIB::ZLIB)
