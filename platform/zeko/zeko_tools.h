/* AVI film writer (zeko_tools). Every function returns 0 on success; ZKAVI_NOTICE (317) from
 * zkavi_AddFrame and zkavi_GetAVISize also means success. */
#ifndef PLATFORM_ZEKO_ZEKO_TOOLS_H
#define PLATFORM_ZEKO_ZEKO_TOOLS_H

#include <stdint.h>

#if defined(__GNUC__)
#define ZEKO_TOOLS_API __attribute__((visibility("default")))
#else
#define ZEKO_TOOLS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define ZKAVI_SUCCESS 0
#define ZKAVI_NO_SUCCESS 300
#define ZKAVI_INVALID_ID 301
#define ZKAVI_WRONG_STATE 302 /* e.g. a frame added before zkavi_StartAVI or after zkavi_StopAVI */
#define ZKAVI_FILE_ERROR 303
#define ZKAVI_INVALID_PARAMETER 304
#define ZKAVI_COMPRESSION_ERROR 305
#define ZKAVI_NOTICE 317

/* Writers are numbered from 1; 0 is never an id. */
ZEKO_TOOLS_API int zkavi_InitAVI(int* filmId, uint32_t cameraHandle);
ZEKO_TOOLS_API int zkavi_ExitAVI(int filmId);
/* Frames are width + linePadding pixels wide (3 bytes each, B, G, R) and at least y + height rows
 * high; the film takes width x height from column x, row y. x above linePadding (an area reaching
 * past the row) is ZKAVI_INVALID_PARAMETER. */
ZEKO_TOOLS_API int zkavi_SetImageSize(int filmId, int mode, int width, int height, int x, int y,
                                      int linePadding);
ZEKO_TOOLS_API int zkavi_SetImageQuality(int filmId, int quality);
/* The path is the suite's narrow text: one byte per character, in Windows-1252. */
ZEKO_TOOLS_API int zkavi_OpenAVI(int filmId, const char* path);
ZEKO_TOOLS_API int zkavi_SetFrameRate(int filmId, double rate);
ZEKO_TOOLS_API int zkavi_StartAVI(int filmId);
ZEKO_TOOLS_API int zkavi_StopAVI(int filmId);
ZEKO_TOOLS_API int zkavi_CloseAVI(int filmId);
ZEKO_TOOLS_API int zkavi_AddFrame(int filmId, const char* frame);
/* The film's size so far in kilobytes (bytes / 1024), headers included. */
ZEKO_TOOLS_API int zkavi_GetAVISize(int filmId, float* sizeKB);

#ifdef __cplusplus
}
#endif

#endif
