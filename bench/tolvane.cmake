# The viewer's live view at 30 and 60 frames per second on a 1280 x 1024 colour camera: the rate
# it sustains and the share of the GUI thread it keeps busy. Needs an X display (xvfb-run).
if(TARGET tolvane_windows)
    zeko_add_bench(tolvane_live_view_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/TolvaneLiveViewBench.cpp
        LIBS tolvane_windows zeko_sim)
    add_dependencies(tolvane_live_view_bench tolvane_runtime)
endif()
