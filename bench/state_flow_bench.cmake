target_link_libraries(${name} PRIVATE Qt5::Test)
