// An interface library that passes the version check but cannot be loaded: it needs a function
// that no library provides.
[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] = "ZEKO_FILE_VERSION=3.31.0.0";

extern "C" int zeko_cm_test_function_nobody_provides();

extern "C" __attribute__((visibility("default"))) int zk_GetCameraList(void*) {
    return zeko_cm_test_function_nobody_provides();
}
