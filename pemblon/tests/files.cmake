zeko_add_gtest(NAME pemblon_files_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/files/FilesTestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfFileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfFileItemTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfigTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/ConfigItemTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/FileWatcherTest.cpp
    LIBS pemblon)

# List controls and timers need a running GUI application.
zeko_add_gtest(NAME pemblon_files_gui_tests GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/files/GuiTestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/files/WindowHelpersTest.cpp
    LIBS pemblon)
