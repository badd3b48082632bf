# Camera model: the current image of a monochrome camera expanded to grey RGB, against memcpy of
# the output size, and one recording tick at 1280 x 1024.
zeko_add_bench(tolvane_model_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TolvaneModelBench.cpp
    LIBS tolvane_model zeko_sim)
