# String table and gettext catalogues, SAX parsing, the XML stream builder, XML logs and XSLT.
# The French fixture catalogues are built beside the test program, in lang/fr/.
if(NOT ZEKO_BUILD_TESTS)
    return()
endif()
find_program(ZEKO_MSGFMT msgfmt REQUIRED)
set(_i18n_lang ${CMAKE_BINARY_DIR}/tests/lang/fr)
add_custom_command(OUTPUT ${_i18n_lang}/pbntest.mo ${_i18n_lang}/Pemblon.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_i18n_lang}
    COMMAND ${ZEKO_MSGFMT} -o ${_i18n_lang}/pbntest.mo ${CMAKE_CURRENT_LIST_DIR}/i18n/data/pbntest.po
    COMMAND ${ZEKO_MSGFMT} -o ${_i18n_lang}/Pemblon.mo ${CMAKE_SOURCE_DIR}/pemblon/lang/fr/Pemblon.po
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/i18n/data/pbntest.po ${CMAKE_SOURCE_DIR}/pemblon/lang/fr/Pemblon.po
    VERBATIM)
add_custom_target(pemblon_i18n_catalogues DEPENDS ${_i18n_lang}/pbntest.mo ${_i18n_lang}/Pemblon.mo)

zeko_add_gtest(NAME pemblon_i18n_tests GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/i18n/TestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/StringTableTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/CatalogTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/SAXHandlerTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/XMLStreamTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/LoggerTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/i18n/XSLTSheetTest.cpp
    LIBS pemblon
    ENV LC_ALL=en_US.UTF-8)
target_compile_definitions(pemblon_i18n_tests PRIVATE I18N_DATA_DIR="${CMAKE_CURRENT_LIST_DIR}/i18n/data")
add_dependencies(pemblon_i18n_tests pemblon_i18n_catalogues)
