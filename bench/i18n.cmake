# SAX parsing through SAXHandler against raw libxml2 SAX2 doing the same work, and logging with
# rotation.
zeko_add_bench(pemblon_i18n_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/I18nBench.cpp
    LIBS pemblon PkgConfig::LIBXML2)
