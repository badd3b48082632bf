# Camera simulator: frame production at 1280 x 1024 colour, the first frame of the largest
# (16384 x 16384 monochrome) sensor from its opening, and MJPEG film writing against
# ffmpeg's single-threaded MJPEG encoder on the same frames.
zeko_add_bench(zeko_sim_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ZekoSimBench.cpp
    LIBS zeko_sim zeko_api zeko_tools)
