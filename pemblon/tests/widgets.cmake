# Widgets and the 3D canvas; the canvas draws with Mesa's software OpenGL under Xvfb.
zeko_add_gtest(NAME pemblon_widgets_tests GUI OPENGL
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/widgets/WidgetsTestSupport.cpp
        ${CMAKE_CURRENT_LIST_DIR}/widgets/OSGCanvasTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/widgets/CheckTreeTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/widgets/FontTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/widgets/OutputDialogTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/widgets/DragCtrlTest.cpp
    LIBS pemblon X11
    ENV LIBGL_ALWAYS_SOFTWARE=1)
# The library's French catalogue, as the programs find it.
if(TARGET pemblon_widgets_tests)
    target_compile_definitions(pemblon_widgets_tests PRIVATE PBN_CATALOGUE_DIR="${CMAKE_BINARY_DIR}/bin/lang")
    add_dependencies(pemblon_widgets_tests pemblon_catalogues)
endif()
