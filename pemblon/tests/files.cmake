zeko_add_gtest(NAME pemblon_files_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/files/FilesTestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfFileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfFileItemTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfigTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfigItemTest.cpp
    LIBS pemblon)
