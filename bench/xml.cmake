# Loading a 10 MB document and walking every element through XMLNode, against raw libxml2 calls;
# saving and parsing 50 MB against xmllint.
zeko_add_bench(pemblon_xml_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/XMLBench.cpp
    LIBS pemblon PkgConfig::LIBXML2)
