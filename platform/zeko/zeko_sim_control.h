/* Test control of the camera simulator: lets tests choose the cameras, inspect the calls made,
 * and provoke failures. The programs never call these functions. */
#ifndef PLATFORM_ZEKO_ZEKO_SIM_CONTROL_H
#define PLATFORM_ZEKO_ZEKO_SIM_CONTROL_H

#include <stdint.h>

#if defined(__GNUC__)
#define ZEKO_SIM_API __attribute__((visibility("default")))
#else
#define ZEKO_SIM_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Closes every camera and film writer, forgets injected failures, forced results and the journal,
 * restores the default delays and driver capabilities, and reads the camera description
 * (ZEKO_SIM_CAMERAS, or the built-in default) and the state folder (ZEKO_SIM_STATE_DIR) again.
 * Returns 0, or ZK_INVALID_PARAMETER when the description file is unusable; the simulator then
 * serves no camera and zksim_DescriptionError tells why. */
ZEKO_SIM_API int zksim_Reset(void);
/* As zksim_Reset, with the description given as text instead of a file. */
ZEKO_SIM_API int zksim_UseDescription(const char* text);
/* The last description error, empty when there is none. */
ZEKO_SIM_API const char* zksim_DescriptionError(void);
/* The state file in use. */
ZEKO_SIM_API const char* zksim_StatePath(void);
/* The file version stamped into the libraries, "3.31.0.0" unless the build chose another. */
ZEKO_SIM_API const char* zksim_FileVersion(void);

typedef struct ZkSimCamera {
    uint32_t deviceId;
    uint32_t cameraId;
    char serial[16];
    char model[16];
    char sensorName[32];
    int maxWidth;
    int maxHeight;
    int color; /* 1 colour, 0 monochrome */
    int gige;  /* 1 GigE, 0 USB */
    int xStep;
    int yStep;
    int clockMin;
    int clockMax;
    int clockDefault;
    double defaultRate;
    int connected;
    int open; /* this process holds a handle on it */
} ZkSimCamera;

ZEKO_SIM_API int zksim_CameraCount(void);
/* Fills the description of the camera at index (description order); non-zero for a bad index. */
ZEKO_SIM_API int zksim_GetCamera(int index, ZkSimCamera* camera);
/* Plugs (1) or unplugs (0) a camera; an unplugged camera leaves the list and its handles go stale. */
ZEKO_SIM_API int zksim_SetCameraConnected(uint32_t deviceId, int connected);

/* Makes the named function (for example "zk_SetGamma" or "zkavi_AddFrame") return code without
 * doing anything: once, or on every call until zksim_ClearFailures. */
ZEKO_SIM_API void zksim_InjectFailure(const char* function, int code, int once);
ZEKO_SIM_API void zksim_ClearFailures(void);

typedef struct ZkSimCall {
    char function[40];
    int intCount;
    long long ints[8];
    int doubleCount;
    double doubles[4];
    int result;
} ZkSimCall;

/* The journal keeps the most recent 100000 calls of the camera and film functions, from the first
 * call of any zksim_ function on: a program that never calls one keeps none. */
ZEKO_SIM_API int zksim_JournalSize(void);
ZEKO_SIM_API int zksim_JournalEntry(int index, ZkSimCall* call);
ZEKO_SIM_API int zksim_JournalCount(const char* function);
ZEKO_SIM_API void zksim_JournalClear(void);

/* Delays of the slow calls: the clock search (zk_fn407) and the starter firmware load, in ms. */
ZEKO_SIM_API void zksim_SetDelays(int clockSearchMs, int firmwareMs);
/* When on, every zk_fn70 produces a new frame instead of one per frame period. */
ZEKO_SIM_API void zksim_SetFreeRunning(int on);
/* What zk_Configuration reports as capabilities (command 1) and idle-state options (command 2). */
ZEKO_SIM_API void zksim_SetDriverCapabilities(uint32_t capabilities, uint32_t idleOptions);
/* The packet size that zk_AccessAdapterCfgByMAC command 5 reports for every adapter. */
ZEKO_SIM_API void zksim_SetAdapterPacketSize(uint64_t bytes);

/* Film writers: make zkavi_GetAVISize report sizeKB (negative: the real size again), and make
 * zkavi_AddFrame return code after adding the frame (0: normal results again). */
ZEKO_SIM_API void zksim_ForceAviSize(double sizeKB);
ZEKO_SIM_API void zksim_ForceAddFrameResult(int code);
/* Size at which a film starts a new RIFF segment (0: the default, about 1 GiB). */
ZEKO_SIM_API void zksim_SetAviSegmentLimit(uint64_t bytes);

#ifdef __cplusplus
}
#endif

#endif
