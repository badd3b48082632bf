// The C entry points of zeko_tools, forwarding to the simulator core's film writers.
#include "platform/zeko/Simulator.h"
#include "platform/zeko/zeko_tools.h"

#ifndef ZEKO_SIM_FILE_VERSION
#define ZEKO_SIM_FILE_VERSION "3.31.0.0"
#endif

// The file version stamp that version checks find in the file: "ZEKO_FILE_VERSION=" and the version.
[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] =
    "ZEKO_FILE_VERSION=" ZEKO_SIM_FILE_VERSION;

using zeko::sim::Simulator;

extern "C" {

int zkavi_InitAVI(int* filmId, uint32_t cameraHandle) {
    return Simulator::instance().films().aviInit(filmId, cameraHandle);
}
int zkavi_ExitAVI(int filmId) {
    return Simulator::instance().films().aviExit(filmId);
}
int zkavi_SetImageSize(int filmId, int mode, int width, int height, int x, int y, int linePadding) {
    return Simulator::instance().films().aviSetImageSize(filmId, mode, width, height, x, y, linePadding);
}
int zkavi_SetImageQuality(int filmId, int quality) {
    return Simulator::instance().films().aviSetQuality(filmId, quality);
}
int zkavi_OpenAVI(int filmId, const char* path) {
    return Simulator::instance().films().aviOpen(filmId, path);
}
int zkavi_SetFrameRate(int filmId, double rate) {
    return Simulator::instance().films().aviSetFrameRate(filmId, rate);
}
int zkavi_StartAVI(int filmId) {
    return Simulator::instance().films().aviStart(filmId);
}
int zkavi_StopAVI(int filmId) {
    return Simulator::instance().films().aviStop(filmId);
}
int zkavi_CloseAVI(int filmId) {
    return Simulator::instance().films().aviClose(filmId);
}
int zkavi_AddFrame(int filmId, const char* frame) {
    return Simulator::instance().films().aviAddFrame(filmId, frame);
}
int zkavi_GetAVISize(int filmId, float* sizeKB) {
    return Simulator::instance().films().aviGetSize(filmId, sizeKB);
}

} // extern "C"
