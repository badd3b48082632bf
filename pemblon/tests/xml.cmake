# The XML object model: documents, handles, error reports, dates.
zeko_add_gtest(NAME pemblon_xml_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLLibEnvironment.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLDocTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLDateTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLMessageTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLErrorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLNodeTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLMixedNodeTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLAttributeTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLNamespaceTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xml/XMLTextTest.cpp
    LIBS pemblon zeko_common)
if(TARGET pemblon_xml_tests)
    target_compile_definitions(pemblon_xml_tests PRIVATE
        PBN_XML_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/xml/data")
endif()
