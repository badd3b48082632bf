# Third-party libraries of the suite, all from Debian's packages.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
pkg_check_modules(LIBXSLT REQUIRED IMPORTED_TARGET libxslt libexslt)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(MPFR REQUIRED IMPORTED_TARGET mpfr)
pkg_check_modules(GMP REQUIRED IMPORTED_TARGET gmp)
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
# GTK itself, under wx, for what wx does not reach (accessible texts, signals, first layouts).
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)

find_package(Boost 1.74 REQUIRED COMPONENTS regex)
find_package(wxWidgets 3.2 REQUIRED COMPONENTS gl aui adv html net core base)
find_package(OpenSceneGraph REQUIRED COMPONENTS osgDB osgUtil osgGA osgViewer)
find_package(OpenGL REQUIRED)

# wxWidgets as one imported target, so that targets only name it.
if(NOT TARGET zeko::wx)
    add_library(zeko::wx INTERFACE IMPORTED GLOBAL)
    set(_wx_defs ${wxWidgets_DEFINITIONS})
    target_compile_definitions(zeko::wx INTERFACE ${_wx_defs})
    target_include_directories(zeko::wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
    target_compile_options(zeko::wx INTERFACE ${wxWidgets_CXX_FLAGS})
    target_link_libraries(zeko::wx INTERFACE ${wxWidgets_LIBRARIES})
endif()

if(NOT TARGET zeko::osg)
    add_library(zeko::osg INTERFACE IMPORTED GLOBAL)
    target_include_directories(zeko::osg SYSTEM INTERFACE ${OPENSCENEGRAPH_INCLUDE_DIRS})
    target_link_libraries(zeko::osg INTERFACE ${OPENSCENEGRAPH_LIBRARIES} OpenGL::GL)
endif()

# zeko_precompile_wx(<target>): the wx headers that windows and dialogs include most, precompiled
# once for the target. Only in the sanitizer trees, where it cuts the compile time of Pemblon, the
# camera manager's windows and the viewer's windows by a third or more; the run tree compiles
# without it, so a source that forgets an include still fails to build there.
set(ZEKO_WX_PRECOMPILED
    <wx/button.h> <wx/checkbox.h> <wx/choice.h> <wx/dialog.h> <wx/listctrl.h> <wx/msgdlg.h>
    <wx/settings.h> <wx/sizer.h> <wx/statbox.h> <wx/stattext.h> <wx/string.h> <wx/textctrl.h>
    <wx/timer.h> <wx/treectrl.h> <wx/utils.h> <functional> <map> <memory> <string> <vector>)
function(zeko_precompile_wx target)
    if(ZEKO_SANITIZE OR ZEKO_TSAN)
        target_precompile_headers(${target} PRIVATE ${ZEKO_WX_PRECOMPILED})
        if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
            # Without a time stamp in the header, ccache can cache the sources that use it.
            target_compile_options(${target} PRIVATE "SHELL:-Xclang -fno-pch-timestamp")
        endif()
    endif()
endfunction()

