# zeko_add_gtest(NAME <target> SOURCES <files...> [LIBS <targets...>] [GUI] [ENV <VAR=value...>])
#
# One GoogleTest program per subsystem, registered with CTest as one test. GUI programs run
# under xvfb-run. Every test runs with the suite's sanitizer options and leak suppressions.
set(ZEKO_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/scripts/lsan.supp)
# The sanitizers' options every test runs with (a test adds its own variables after these).
set(ZEKO_TEST_ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${ZEKO_LSAN_SUPPRESSIONS}:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

function(zeko_add_gtest)
    if(NOT ZEKO_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    find_package(GTest REQUIRED)
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
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
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
