# Support files: writing and reopening a file of 16 simulated cameras; reopening files of 1, 4
# and 16 cameras shows that reading grows linearly with the file.
if(TARGET zeko_camera_manager_diagnostics)
    zeko_add_bench(support_file_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/SupportFileBench.cpp ${CMAKE_CURRENT_LIST_DIR}/ManagerBenchCameras.cpp
        LIBS zeko_camera_manager_diagnostics zeko_sim)
    add_dependencies(support_file_bench zeko_cm_windows_folder)
endif()
