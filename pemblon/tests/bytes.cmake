# Byte arrays, buffers, byte streams, versions and the string encodings.
zeko_add_gtest(NAME pemblon_bytes_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/bytes/ByteArrayTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/bytes/BufferTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/bytes/ByteStreamTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/bytes/VersionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/bytes/StringEncodingsTest.cpp
    LIBS pemblon)
