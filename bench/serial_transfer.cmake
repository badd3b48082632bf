# Serial file transfer: 10 MB between two bridged pseudo-terminals with 1024-byte blocks (115200)
# and 128-byte blocks (38400). A pty does not pace by baud rate, so only the block size differs.
if(TARGET zeko_camera_manager_diagnostics)
    zeko_add_bench(serial_transfer_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/SerialTransferBench.cpp
                ${CMAKE_SOURCE_DIR}/platform/win/tests/PtyBridge.cpp
        LIBS zeko_camera_manager_diagnostics util)
endif()
