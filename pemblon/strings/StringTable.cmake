target_sources(pemblon PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/StringTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringTableItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringTableNamespace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringTableEvent.cpp
)

# The library's own messages in French: lang/fr/Pemblon.mo beside the programs, where a program
# registers the catalogue with StringTable::load("Pemblon", wxLANGUAGE_FRENCH, "lang", "").
find_program(ZEKO_MSGFMT msgfmt REQUIRED)
set(_pbn_catalogues)
foreach(_lang fr)
    set(_mo ${CMAKE_BINARY_DIR}/bin/lang/${_lang}/Pemblon.mo)
    add_custom_command(OUTPUT ${_mo}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/lang/${_lang}
        COMMAND ${ZEKO_MSGFMT} -o ${_mo} ${CMAKE_SOURCE_DIR}/pemblon/lang/${_lang}/Pemblon.po
        DEPENDS ${CMAKE_SOURCE_DIR}/pemblon/lang/${_lang}/Pemblon.po
        VERBATIM)
    list(APPEND _pbn_catalogues ${_mo})
    install(FILES ${_mo} DESTINATION bin/lang/${_lang})
endforeach()
add_custom_target(pemblon_catalogues ALL DEPENDS ${_pbn_catalogues})
add_dependencies(pemblon pemblon_catalogues)
