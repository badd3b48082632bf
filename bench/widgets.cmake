# The 3D canvas under Xvfb: frames per second on its render thread against a plain osgViewer on
# the same scene, and a 1024x768 screen capture against a memcpy of its size.
# Run as: xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bench/pemblon_widgets_bench
zeko_add_bench(pemblon_widgets_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WidgetsBench.cpp
    LIBS pemblon X11)
