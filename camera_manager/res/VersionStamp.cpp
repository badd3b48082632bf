// The file version that version checks read from the program and its language libraries:
// "ZEKO_FILE_VERSION=" and the version, in a section of its own. The program accepts only
// language libraries that carry the same version as itself.
[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] =
    "ZEKO_FILE_VERSION=" ZEKO_MANAGER_FILE_VERSION;
