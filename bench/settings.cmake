# Reading long typed lists against an istringstream loop, and key look-up in a large store.
zeko_add_bench(pemblon_settings_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsBench.cpp
    LIBS pemblon)
