# PBN::Strings::ostring and PBN::Defines (issue 2): piece-01 Parts 2.104, 2.121-2.124, 2.131, 2.132.
zeko_add_gtest(NAME pemblon_strings_tests
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/DefinesTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringStorageTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringCompareTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringRegexTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringReplaceTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringConcatTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/strings/OstringSearchTest.cpp
    LIBS pemblon)
