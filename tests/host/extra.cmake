# The analyzer file tests take archives apart and build damaged ones with libzip directly.
target_link_libraries(test_host PRIVATE PkgConfig::LIBZIP)
