# The document XML is compared with a streaming parse by libexpat.
target_link_libraries(${name} PRIVATE expat)
