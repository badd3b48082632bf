# libFuzzer target for the film writer. GCC has no libFuzzer: scripts/fuzz.sh configures a
# separate clang build with ZEKO_FUZZ=ON; the normal build skips it.
if(ZEKO_FUZZ)
    add_executable(zeko_avi_fuzz ${CMAKE_CURRENT_LIST_DIR}/fuzz/AviWriterFuzz.cpp)
    target_link_libraries(zeko_avi_fuzz PRIVATE zeko_sim)
    target_link_options(zeko_avi_fuzz PRIVATE -fsanitize=fuzzer,address)
    set_target_properties(zeko_avi_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
