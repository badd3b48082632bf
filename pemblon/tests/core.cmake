# Foundation classes: exceptions, events and listeners, numeric helpers, start-up helpers,
# stream manipulators, window messages and the wx adapters.
zeko_add_gtest(NAME pemblon_core_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/core/ExceptionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/EventTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/core/MathsTest.cpp
    LIBS pemblon)
