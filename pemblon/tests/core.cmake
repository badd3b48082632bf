# Foundation classes: exceptions, events and listeners, numeric helpers, start-up helpers,
# stream manipulators, window messages and the wx adapters.
zeko_add_gtest(NAME pemblon_core_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/core/ExceptionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/EventTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/MathsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/HelperFuncsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/WindowsMsgTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/WxAdaptersTest.cpp
    LIBS pemblon)

# What needs a display: message boxes, images, dialogs and opening URLs. The MIME look-up must
# find no association of the machine, so that no real program is ever started.
zeko_add_gtest(NAME pemblon_core_gui_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/GuiTest.cpp
    LIBS pemblon
    ENV XDG_DATA_HOME=/nonexistent XDG_DATA_DIRS=/nonexistent XDG_CONFIG_DIRS=/nonexistent)
