// An interface library without a version stamp.
extern "C" __attribute__((visibility("default"))) int zk_GetCameraList(void*) {
    return 0;
}
