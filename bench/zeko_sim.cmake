# Camera simulator: frame production at 1280 x 1024 colour, and MJPEG film writing against
# ffmpeg's single-threaded MJPEG encoder on the same frames.
zeko_add_bench(zeko_sim_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ZekoSimBench.cpp
    LIBS zeko_sim zeko_api zeko_tools)
