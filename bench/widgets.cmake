# The 3D canvas under Xvfb: frames per second on its render thread against a plain osgViewer
# window of the same size, scene and view, in turns (the "ratio" counter), for a light scene (/0)
# and one of about 10 ms a frame (/1); what hiding the canvas costs the GUI thread while it
# renders, and how soon the picture is back; a 1024x768 screen
# capture, and its read and conversion against a raw glReadPixels in the same context.
# Run as: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/pemblon_widgets_bench
# On a busy machine, pin it to one core with Mesa rasterising on the drawing thread itself:
#   LP_NUM_THREADS=0 xvfb-run -a -s "-screen 0 1280x1024x24" taskset -c 3 build/bench/pemblon_widgets_bench
zeko_add_bench(pemblon_widgets_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WidgetsBench.cpp
    LIBS pemblon X11)
