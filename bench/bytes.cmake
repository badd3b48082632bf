# Base64 against GLib's coder, typed reads against memcpy, version tree look-ups.
zeko_add_bench(pemblon_bytes_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/BytesBench.cpp
    LIBS pemblon PkgConfig::GLIB)
