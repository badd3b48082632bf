# zeko_add_gtest(NAME <target> SOURCES <files...> [LIBS <targets...>] [GUI [OPENGL]]
#                [ENV <VAR=value...>] [TSAN_SUPPRESSIONS <files of scripts/...>])
#
# One GoogleTest program per subsystem, registered with CTest as one test. GUI programs run
# under xvfb-run. OPENGL: the program draws with Mesa's llvmpipe, whose compiled shaders
# register their frames with libgcc; libgcc allocates while it holds its lock on them, and
# unwinding that allocation from the debug information waits on the same lock forever, so such
# a program keeps LeakSanitizer's frame-pointer stacks (see zeko_write_sanitizer_defaults).
# The variables every test runs with (a test adds its own after these). The sanitizers' options
# and suppressions are compiled into the programs instead (zeko_sanitizer_defaults), so that a
# program started by hand gets the verdict its test gets.
set(ZEKO_TEST_ENVIRONMENT)

# In a sanitizer tree every program (tests, fuzz targets, the two programs) links an object that
# gives the sanitizer runtimes their default options and the suppressions of scripts/lsan.supp
# (AddressSanitizer's leak check) or scripts/tsan.supp (ThreadSanitizer). Options a user sets in
# LSAN_OPTIONS, UBSAN_OPTIONS or TSAN_OPTIONS still come on top. The object has to be in the
# program itself: the runtimes' own weak definitions would keep a static library's out.
# zeko_write_sanitizer_defaults(<output> [GTK] <suppression files...>): the source of that
# object. GTK: the program starts GTK. LeakSanitizer's usual stacks (frame pointers only) stop or
# skip frames at the first frame of GLib, GTK or fontconfig, none of which keeps a frame pointer,
# so a leak of the suite's own through g_malloc or in a GTK callback showed only GLib's frames and
# the toolkit's own leaks only the allocator; scripts/lsan.supp could then tell them apart only
# by naming GLib whole. Such a program unwinds its allocations from the debug information
# instead, six frames deep (the frame that names the toolkit's allocating function, or the
# suite's, is within the first four; ten frames made a GUI test program twice as slow as frame
# pointers do, six one and a half times).
function(zeko_write_sanitizer_defaults output)
    cmake_parse_arguments(W "GTK" "" "" ${ARGN})
    if(ZEKO_TSAN)
        set(runtime tsan)
        set(options "second_deadlock_stack=1:history_size=4")
    else()
        set(runtime lsan)
        set(options "print_suppressions=0")
        if(W_GTK)
            string(APPEND options ":fast_unwind_on_malloc=0:malloc_context_size=6")
        endif()
    endif()
    set(text "")
    foreach(supp ${W_UNPARSED_ARGUMENTS})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scripts/${supp})
        file(STRINGS ${CMAKE_SOURCE_DIR}/scripts/${supp} lines REGEX "^[^#]")
        foreach(line IN LISTS lines)
            string(STRIP "${line}" line)
            if(line MATCHES "[\\\"]")
                message(FATAL_ERROR "scripts/${supp}: a suppression may hold no quote or backslash: ${line}")
            endif()
            if(NOT line STREQUAL "")
                string(APPEND text "${line}\\n")
            endif()
        endforeach()
    endforeach()
    string(REPLACE ";" " and scripts/" from "${W_UNPARSED_ARGUMENTS}")
    set(hook "extern \"C\" __attribute__((visibility(\"default\"), used)) const char* __")
    set(source "// Written by cmake/ZekoTesting.cmake from scripts/${from}.\n")
    string(APPEND source "${hook}${runtime}_default_suppressions() { return \"${text}\"; }\n")
    string(APPEND source "${hook}${runtime}_default_options() { return \"${options}\"; }\n")
    if(NOT ZEKO_TSAN)
        string(APPEND source
               "${hook}ubsan_default_options() { return \"print_stacktrace=1:halt_on_error=1\"; }\n")
    endif()
    file(CONFIGURE OUTPUT ${output} CONTENT "${source}" @ONLY)
endfunction()

if(ZEKO_TSAN)
    set(ZEKO_SANITIZER_SUPPRESSIONS tsan.supp)
elseif(ZEKO_SANITIZE)
    set(ZEKO_SANITIZER_SUPPRESSIONS lsan.supp)
endif()
if(ZEKO_SANITIZE OR ZEKO_TSAN)
    zeko_write_sanitizer_defaults(${CMAKE_BINARY_DIR}/zeko_sanitizer_defaults.cpp ${ZEKO_SANITIZER_SUPPRESSIONS})
    add_library(zeko_sanitizer_defaults OBJECT ${CMAKE_BINARY_DIR}/zeko_sanitizer_defaults.cpp)
endif()
if(ZEKO_SANITIZE AND NOT ZEKO_TSAN)
    zeko_write_sanitizer_defaults(${CMAKE_BINARY_DIR}/zeko_sanitizer_defaults_gtk.cpp GTK ${ZEKO_SANITIZER_SUPPRESSIONS})
    add_library(zeko_sanitizer_defaults_gtk OBJECT ${CMAKE_BINARY_DIR}/zeko_sanitizer_defaults_gtk.cpp)
endif()

# zeko_sanitizer_defaults(<program> [GTK] [TSAN <suppression files...>]): in a sanitizer tree,
# the program carries the sanitizers' options and suppressions; GTK for a program that starts
# GTK (see zeko_write_sanitizer_defaults); in a ThreadSanitizer tree TSAN adds files of scripts/
# that only this program needs.
function(zeko_sanitizer_defaults target)
    cmake_parse_arguments(D "GTK" "" "TSAN" ${ARGN})
    if(ZEKO_TSAN AND D_TSAN)
        set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_sanitizer_defaults.cpp)
        zeko_write_sanitizer_defaults(${source} ${ZEKO_SANITIZER_SUPPRESSIONS} ${D_TSAN})
        target_sources(${target} PRIVATE ${source})
    elseif(D_GTK AND TARGET zeko_sanitizer_defaults_gtk)
        target_link_libraries(${target} PRIVATE zeko_sanitizer_defaults_gtk)
    elseif(TARGET zeko_sanitizer_defaults)
        target_link_libraries(${target} PRIVATE zeko_sanitizer_defaults)
    endif()
endfunction()

# The test programs that start threads in the code they test (render thread, serial readers and
# transfers, update worker, firmware upload, clock search and the timing tab's search for the
# best end, the simulator's serial interface and film writers) or that call the suite from several threads (XML error hooks, byte streams,
# numbers, window messages, the registry, the network clients' page prefaulter). The mail tests
# are not here: only their loopback servers run on threads of their own, and the client shares
# nothing with them but sockets. In a ThreadSanitizer tree (ZEKO_TSAN) only these
# are registered with CTest and built by zeko_thread_tests; the other programs are left out of
# the build. A name here that no zeko_add_gtest defines fails the configuration, so a renamed
# program cannot silently drop out of the race checks.
set(ZEKO_THREAD_TESTS
    pemblon_bytes_tests pemblon_core_tests pemblon_xml_tests pemblon_net_tests pemblon_widgets_tests ferrulon_mpfloat_tests ferrulon_array_tests
    tolvane_model_tests tolvane_gui_tests zeko_sim_tests
    zeko_winbase_tests zeko_winbase_serial_tests zeko_winservices_tests
    zeko_camera_manager_serial_tests zeko_camera_manager_serial_gui_tests zeko_cm_diagnostics_tests
    zeko_cm_diagnostics_gui_tests camera_manager_dialog_gui_tests zeko_cm_commands_gui_tests)
# Reports name the racing lines; a process with a report exits with 66 and fails its test.
if(ZEKO_TSAN AND ZEKO_BUILD_TESTS)
    add_custom_target(zeko_thread_tests)
endif()

# In the sanitizer trees the test programs share one precompiled header of GoogleTest and
# GoogleMock (clang takes the further definitions each program has on top of it). The header's
# own program is an executable, as the test programs are: a precompiled header must be built for
# the same kind of position-independent code as the sources that use it, and with -pthread,
# which every test program gets for that reason (most have it through wx).
# (Compiling the tests' own sources at -O0 instead of -O1 took a third off their compile time
# but made the slowest test programs run up to twice as long.)
set(ZEKO_TEST_COMPILE_OPTIONS)
if((ZEKO_SANITIZE OR ZEKO_TSAN) AND ZEKO_BUILD_TESTS)
    set(ZEKO_TEST_COMPILE_OPTIONS -pthread)
    find_package(GTest REQUIRED)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/zeko_test_precompiled.cpp
         CONTENT "int main() { return 0; }\n")
    add_executable(zeko_test_precompiled EXCLUDE_FROM_ALL ${CMAKE_BINARY_DIR}/zeko_test_precompiled.cpp)
    target_link_libraries(zeko_test_precompiled PRIVATE GTest::gtest GTest::gmock Threads::Threads)
    # Without a time stamp in the header, ccache can cache the sources that use it.
    target_compile_options(zeko_test_precompiled PRIVATE ${ZEKO_TEST_COMPILE_OPTIONS}
                           "SHELL:-Xclang -fno-pch-timestamp")
    target_precompile_headers(zeko_test_precompiled PRIVATE
        <gtest/gtest.h> <gmock/gmock.h>)
endif()

# Every test program runs away from the desktop of whoever starts it, by CTest or by hand: its
# own runtime, configuration, data and cache folders and home, no session bus, GSettings in
# memory, no accessibility bridge (platform/common/tests/HermeticEnvironment.cpp).
if(ZEKO_BUILD_TESTS)
    add_library(zeko_test_environment OBJECT ${CMAKE_SOURCE_DIR}/platform/common/tests/HermeticEnvironment.cpp
        ${CMAKE_SOURCE_DIR}/platform/common/tests/LoadedCode.cpp)
endif()

# Fails the configuration of a ThreadSanitizer tree when a program named in ZEKO_THREAD_TESTS
# does not exist (called once, after every directory is read).
function(zeko_check_thread_tests)
    if(NOT ZEKO_TSAN OR NOT ZEKO_BUILD_TESTS)
        return()
    endif()
    foreach(_test ${ZEKO_THREAD_TESTS})
        if(NOT TARGET ${_test})
            message(FATAL_ERROR "ZEKO_THREAD_TESTS names ${_test}, which no zeko_add_gtest defines")
        endif()
    endforeach()
endfunction()

# The seconds the slowest programs ran, in the sanitizer tree and in the race tree (CTest at -j3
# on an otherwise lightly loaded 8-core machine). CTest starts the costliest programs first: a
# fresh tree has no timings of its own yet, and the longest program would otherwise start among
# the last and end long after the others. CTest's own record of each run replaces these figures
# once a tree has run its tests.
set(ZEKO_TEST_COSTS
    tolvane_gui_tests=101/103 camera_manager_dialog_gui_tests=63/57 pemblon_net_tests=44/34
    pemblon_widgets_tests=43/38 zeko_sim_tests=42/17 tolvane_model_tests=40/21 zeko_common_tests=26/0
    zeko_camera_manager_serial_gui_tests=26/20 zeko_cm_diagnostics_gui_tests=26/16 pemblon_smtp_tests=24/0
    zeko_cm_commands_gui_tests=20/14 zeko_cm_support_file_gui_tests=20/0 zeko_desktop_close_gui_tests=19/0
    ferrulon_array_tests=12/24 zeko_cm_diagnostics_tests=9/18 pemblon_strings_tests_sse2=13/0
    camera_manager_accessibility_gui_tests=12/0 zeko_camera_manager_serial_tests=2/6)

# zeko_test_cost(<test>): gives the test its cost from ZEKO_TEST_COSTS, if it has one.
function(zeko_test_cost test)
    foreach(entry ${ZEKO_TEST_COSTS})
        if(entry MATCHES "^${test}=([0-9]+)/([0-9]+)$")
            if(ZEKO_TSAN)
                set(cost ${CMAKE_MATCH_2})
            else()
                set(cost ${CMAKE_MATCH_1})
            endif()
            set_tests_properties(${test} PROPERTIES COST ${cost})
        endif()
    endforeach()
endfunction()

function(zeko_add_gtest)
    if(NOT ZEKO_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "GUI;OPENGL" "NAME;TIMEOUT" "SOURCES;LIBS;ENV;TSAN_SUPPRESSIONS" ${ARGN})
    find_package(GTest REQUIRED)
    if(ZEKO_TSAN AND NOT T_NAME IN_LIST ZEKO_THREAD_TESTS)
        # Still a target, so that the folder's own settings for it apply; never built or run.
        add_executable(${T_NAME} EXCLUDE_FROM_ALL ${T_SOURCES})
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads
                              zeko_test_environment)
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    set(gtk)
    if(T_GUI AND NOT T_OPENGL)
        set(gtk GTK)
    endif()
    zeko_sanitizer_defaults(${T_NAME} ${gtk} TSAN ${T_TSAN_SUPPRESSIONS})
    if(ZEKO_TSAN)
        add_dependencies(zeko_thread_tests ${T_NAME})
    endif()
    if(TARGET zeko_test_precompiled)
        target_compile_options(${T_NAME} PRIVATE ${ZEKO_TEST_COMPILE_OPTIONS})
        target_precompile_headers(${T_NAME} REUSE_FROM zeko_test_precompiled)
    endif()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads
                          zeko_test_environment)
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(T_GUI)
        add_test(NAME ${T_NAME}
                 COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${T_NAME}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${ZEKO_TEST_ENVIRONMENT};${T_ENV}")
    zeko_test_cost(${T_NAME})
endfunction()

# zeko_add_test_library(NAME <target> SOURCES <files...> [LIBS <targets...>] [OBJECT])
#
# A helper that several test programs share (fixtures, environments, loopback servers), compiled
# once and named in their LIBS. OBJECT for a helper that registers itself at start-up (a global
# test environment): a static library would leave its object out, as nothing refers to it.
function(zeko_add_test_library)
    if(NOT ZEKO_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(L "OBJECT" "NAME" "SOURCES;LIBS" ${ARGN})
    find_package(GTest REQUIRED)
    if(L_OBJECT)
        add_library(${L_NAME} OBJECT ${L_SOURCES})
    else()
        add_library(${L_NAME} STATIC ${L_SOURCES})
    endif()
    target_link_libraries(${L_NAME} PUBLIC ${L_LIBS} GTest::gtest GTest::gmock)
endfunction()

# zeko_add_bench(<target> <sources...> LIBS <targets...>)
function(zeko_add_bench NAME)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${NAME} ${B_SOURCES})
    target_link_libraries(${NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
    set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# zeko_add_fuzz(NAME <target> SOURCES <files...> LIBS <targets...>)
#
# A libFuzzer target over the suite's own library targets, built only when ZEKO_FUZZ is on (the
# sanitizer tree, which scripts/build.sh configures with clang-14). scripts/fuzz.sh runs it.
function(zeko_add_fuzz)
    if(NOT ZEKO_FUZZ)
        return()
    endif()
    cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} ${F_SOURCES})
    zeko_sanitizer_defaults(${F_NAME})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
