# The network clients, against real servers each test starts on 127.0.0.1: a scripted HTTP
# server, lighttpd with WebDAV and pyftpdlib (net/servers/).
zeko_add_gtest(NAME pemblon_net_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/net/NetTestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/LoopbackServers.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/CurlOptionLog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/NetHandleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/CurlVersionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/FileHandleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/HTTPHandleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/FTPHandleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/MultipartFormStreamTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/SOAPHandleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/net/PagePrefaulterTest.cpp
        # Private to the library (not exported), so compiled into the test as well.
        ${CMAKE_SOURCE_DIR}/pemblon/net/PagePrefaulter.cpp
    LIBS pemblon zeko_test_same_bytes)
if(TARGET pemblon_net_tests)
    target_compile_definitions(pemblon_net_tests PRIVATE
        CURL_DISABLE_DEPRECATION PBN_NET_TEST_SERVERS="${CMAKE_CURRENT_LIST_DIR}/net/servers")
endif()
