// Stand-in for a driver file in the build's Windows folder: a file that carries nothing but its
// version stamp, "ZEKO_FILE_VERSION=" and the version, in the section where version checks find it.
[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] =
    "ZEKO_FILE_VERSION=" ZEKO_DRIVER_FILE_VERSION;
