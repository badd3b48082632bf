# The film writer, over the simulator core.
zeko_add_fuzz(NAME zeko_avi_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/AviWriterFuzz.cpp LIBS zeko_sim)
