# Camera manager: camera entries built from the simulator's records for 64 cameras (against the
# same simulator calls in a plain loop), the polling tick while nothing changes at 1, 64 and 254
# cameras (against the tick that reads them all), and registry look-ups over 500 keys against
# std::map.
if(TARGET zeko_camera_manager_core)
    zeko_add_bench(camera_manager_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/CameraManagerBench.cpp ${CMAKE_CURRENT_LIST_DIR}/ManagerBenchCameras.cpp
        LIBS zeko_camera_manager_core zeko_sim)
    add_dependencies(camera_manager_bench zeko_cm_windows_folder)
endif()
