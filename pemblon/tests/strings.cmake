# PBN::Strings::ostring and PBN::Defines.
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
if(ZEKO_BUILD_TESTS AND NOT ZEKO_TSAN)
    # The comparisons again with the SSE2 step in place of the AVX2 one (no threads: not a race check).
    add_test(NAME pemblon_strings_tests_sse2 COMMAND pemblon_strings_tests --gtest_filter=OstringCompare.*)
    set_tests_properties(pemblon_strings_tests_sse2 PROPERTIES TIMEOUT 300
        ENVIRONMENT "${ZEKO_TEST_ENVIRONMENT};PBN_STRINGS_NO_AVX2=1")
    zeko_test_cost(pemblon_strings_tests_sse2)
endif()
