# ostring conversions, case-insensitive comparison and glob against their C anchors.
zeko_add_bench(pemblon_strings_bench
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/StringsBench.cpp
    LIBS pemblon PkgConfig::GLIB)
