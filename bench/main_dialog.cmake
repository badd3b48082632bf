# Camera manager main dialog: one polling tick (list refresh, status decision) with 0, 8 and 64
# simulated cameras against the same simulator calls in a plain loop, and a full parameter-tree
# build for one GigE camera.
if(TARGET zeko_camera_manager_gui)
    zeko_add_bench(main_dialog_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainDialogBench.cpp ${CMAKE_CURRENT_LIST_DIR}/ManagerBenchCameras.cpp
        LIBS zeko_camera_manager_gui zeko_sim)
    add_dependencies(main_dialog_bench zeko_cm_windows_folder)
endif()
