# Downloading a 256 MB file from lighttpd on 127.0.0.1 into a file and into memory, and over FTP
# from and to pyftpdlib, against the curl command line moving the same file; splitting multipart
# bodies into part files against Python's email package.
zeko_add_bench(pemblon_net_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/NetBench.cpp
            ${CMAKE_SOURCE_DIR}/pemblon/tests/net/LoopbackServers.cpp
    LIBS pemblon)
if(TARGET pemblon_net_bench)
    target_compile_definitions(pemblon_net_bench PRIVATE
        PBN_NET_TEST_SERVERS="${CMAKE_SOURCE_DIR}/pemblon/tests/net/servers")
endif()
