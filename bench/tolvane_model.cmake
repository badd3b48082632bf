# Camera model: the current image of a monochrome camera expanded to grey RGB, against memcpy of
# the output size, and films of 1280 x 1024 colour at 60, 120 and 240 im/s beside the film writer
# alone.
zeko_add_bench(tolvane_model_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TolvaneModelBench.cpp
    LIBS tolvane_model zeko_sim)
