/* Camera control interface: the functions the viewer's camera model (zeko_api) and the camera
 * manager (zeko_api_64) call. Both libraries export every function below and share one camera
 * inventory. Every function returns 0 on success and an error code otherwise, except where a
 * comment says that a query returns a value instead. */
#ifndef PLATFORM_ZEKO_ZEKO_API_H
#define PLATFORM_ZEKO_ZEKO_API_H

#include <stdint.h>

#if defined(__GNUC__)
#define ZEKO_API __attribute__((visibility("default")))
#else
#define ZEKO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
#define ZK_SUCCESS 0
#define ZK_NO_SUCCESS (-1)
#define ZK_INVALID_CAMERA_HANDLE 1
#define ZK_IO_REQUEST_FAILED 2
#define ZK_CANT_OPEN_DEVICE 3
#define ZK_FILE_NOT_FOUND 25
#define ZK_INVALID_MEMORY_POINTER 49
#define ZK_NO_CAMERA_FOUND 97
#define ZK_INVALID_PARAMETER 125
#define ZK_DEVICE_NOT_FOUND 141
#define ZK_STARTER_FW_UPLOAD_NEEDED 184

/* Addressing a camera in zk_InitCamera: 0 opens the first available camera, 1 to 254 the camera
 * with that camera ID, device id | ZK_USE_DEVICE_ID the camera with that device id; adding
 * ZK_ALLOW_STARTER_FW_UPLOAD loads the driver's starter firmware into the camera first. */
#define ZK_USE_DEVICE_ID 0x8000
#define ZK_ALLOW_STARTER_FW_UPLOAD 0x10000

/* Query codes passed in place of a value. */
#define ZK_GET_CURRENT 0x8000 /* zk_SetBrightness, zk_SetHardwareGain (master) */
#define ZK_GET_RED_GAIN 0x8001
#define ZK_GET_GREEN_GAIN 0x8002
#define ZK_GET_BLUE_GAIN 0x8003
#define ZK_GET_FRAMERATE 32768.0
#define ZK_GET_DEFAULT_FRAMERATE 32769.0
#define ZK_GET_EXPOSURE_TIME 32768.0
#define ZK_GET_POS_X_STEP 0xC003
#define ZK_GET_POS_Y_STEP 0xC004
#define ZK_GET_POS_X_MAX 0xC007 /* maximum width minus the current width */
#define ZK_GET_POS_Y_MAX 0xC008

/* zk_SetAOI codes. */
#define ZK_SET_AOI 0x8002
#define ZK_GET_AOI 0x8003

/* zk_SetAutoParameter codes. */
#define ZK_SET_AUTO_REFERENCE 0x8000
#define ZK_SET_ENABLE_AUTO_GAIN 0x8800
#define ZK_GET_ENABLE_AUTO_GAIN 0x8801
#define ZK_SET_ENABLE_AUTO_SHUTTER 0x8802
#define ZK_SET_ENABLE_AUTO_WHITEBALANCE 0x8804

/* Colour modes. */
#define ZK_CM_MONO8 6
#define ZK_CM_RGB24 129

/* Record sizes and the offsets of the fields the callers read. */
#define ZK_SENSORINFO_SIZE 80
#define ZK_SENSORINFO_NAME 2        /* NUL-terminated, at most 31 characters */
#define ZK_SENSORINFO_MAX_WIDTH 36  /* u32 */
#define ZK_SENSORINFO_MAX_HEIGHT 40 /* u32 */
#define ZK_CAMERA_LIST_RECORD_SIZE 112
#define ZK_ETH_DEVICE_INFO_SIZE 640
#define ZK_CAMERA_INFO_SIZE 64
#define ZK_REVISION_INFO_SIZE 34
#define ZK_EEPROM_SIZE 64
#define ZK_ADAPTER_CFG_SIZE 160
#define ZK_COMPORT_CFG_SIZE 80

/* zk_Configuration commands. */
#define ZK_CONFIG_GET_CAPABILITIES 1   /* bit 2: the start parameter set can be chosen */
#define ZK_CONFIG_GET_IDLE_SUPPORTED 2 /* bit 0 mains, bit 1 battery */
#define ZK_CONFIG_SET_IDLE_FLAGS 4
#define ZK_CONFIG_GET_IDLE_FLAGS 5
#define ZK_CONFIG_SET_START_PARAMSET 9 /* 0 defaults, 1 set 1, 2 set 2 */
#define ZK_CONFIG_GET_START_PARAMSET 10

/* zk_AccessAdapterCfgByMAC commands. */
#define ZK_ADAPTER_GET 0
#define ZK_ADAPTER_SET 1
#define ZK_ADAPTER_CFG_RECORD 0           /* get: 160-byte record, filter u16 at +56, max packet u32 at +84 */
#define ZK_ADAPTER_CFG_PACKET_FILTER 3    /* set: u32 0 pass all, 1 block ZKGET, 2 block all */
#define ZK_ADAPTER_CFG_PACKET_SIZE 5      /* get: u64 packet size of the adapter */
#define ZK_ADAPTER_CFG_MAX_PACKET 0x10002 /* set: u32 maximum packet size */

/* Opening and closing. */
ZEKO_API int zk_InitCamera(uint32_t* handle, void* window);
ZEKO_API int zk_ExitCamera(uint32_t handle);

/* Sensor, capture and image memory. */
ZEKO_API int zk_GetSensorInfo(uint32_t handle, void* sensorInfo);
ZEKO_API int zk_CaptureVideo(uint32_t handle, int wait);
ZEKO_API int zk_StopLiveVideo(uint32_t handle, int wait);
ZEKO_API int zk_AllocImageMem(uint32_t handle, int width, int height, int bitsPerPixel, char** memory,
                              int* memoryId);
ZEKO_API int zk_SetImageMem(uint32_t handle, char* memory, int memoryId);
ZEKO_API int zk_AddToSequence(uint32_t handle, char* memory, int memoryId);
ZEKO_API int zk_FreeImageMem(uint32_t handle, char* memory, int memoryId);
ZEKO_API int zk_ClearSequence(uint32_t handle);
/* Latest image: imageNumber gets the memory id, lastImage the buffer holding the latest image
 * (memory is the same buffer). Both null and a non-zero code when there is none. */
ZEKO_API int zk_fn70(uint32_t handle, int* imageNumber, char** memory, char** lastImage);

/* Modes accepted for compatibility; they change nothing in the simulated image. */
ZEKO_API int zk_SetDisplayMode(uint32_t handle, int mode);
ZEKO_API int zk_SetExternalTrigger(uint32_t handle, int mode);
ZEKO_API int zk_SetBinning(uint32_t handle, int mode);
ZEKO_API int zk_fn333(uint32_t handle, int mode, int parameter);
ZEKO_API int zk_SetBlCompensation(uint32_t handle, int enable, int level, int reserved);
ZEKO_API int zk_SetColorCorrection(uint32_t handle, int value, double* factors);

/* Image parameters. */
ZEKO_API int zk_SetColorMode(uint32_t handle, int mode);
ZEKO_API int zk_SetGamma(uint32_t handle, int gamma);
ZEKO_API int zk_SetPixelClock(uint32_t handle, int clockMHz);
/* With ZK_GET_CURRENT returns the brightness itself. */
ZEKO_API int zk_SetBrightness(uint32_t handle, int brightness);
/* Negative values leave a gain unchanged; a query code as master returns that gain itself. */
ZEKO_API int zk_SetHardwareGain(uint32_t handle, int master, int red, int green, int blue);
ZEKO_API int zk_SetAutoParameter(uint32_t handle, int code, double* value1, double* value2);
ZEKO_API int zk_SetAOI(uint32_t handle, int code, int* x, int* y, int* width, int* height);
ZEKO_API int zk_SetImageSize(uint32_t handle, int width, int height);
/* With a ZK_GET_POS_* code as x returns that value itself. */
ZEKO_API int zk_SetImagePos(uint32_t handle, int x, int y);
ZEKO_API int zk_SetFrameRate(uint32_t handle, double rate, double* newRate);
/* Exposure time in milliseconds. */
ZEKO_API int zk_SetExposureTime(uint32_t handle, double time, double* newTime);
/* Searches the best pixel clock and frame rate; takes a while. */
ZEKO_API int zk_fn407(uint32_t handle, int mode, int timeoutMs, int* clockMHz, double* rate);
/* Frame-time range in seconds: minimum, maximum and step. */
ZEKO_API int zk_fn271(uint32_t handle, double* minimum, double* maximum, double* interval);

/* Camera list, information and the camera's own memory. */
ZEKO_API int zk_GetCameraList(void* list);
ZEKO_API int zk_GetEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size);
ZEKO_API int zk_GetCameraInfo(uint32_t handle, void* info);
ZEKO_API int zk_GetCameraInfoEx(uint32_t handle, void* info);
ZEKO_API int zk_GetRevisionInfo(uint32_t handle, void* info);
ZEKO_API int zk_ReadEEPROM(uint32_t handle, int address, char* buffer, int count);
ZEKO_API int zk_WriteEEPROM(uint32_t handle, int address, const char* buffer, int count);
ZEKO_API int zk_SetCameraID(uint32_t handle, int cameraId);
/* A count that changes whenever what the camera list or a camera's records show may have
 * changed, in this process or another one: a caller that polls need not read them again while it
 * stays the same. */
ZEKO_API int zk_GetChangeCount(uint32_t* count);

/* GigE network, firmware and driver settings. Address values are in host byte order. */
ZEKO_API int zk_SetPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size);
ZEKO_API int zk_SetAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size);
ZEKO_API int zk_UploadStarterFirmware(uint32_t deviceId, const char* path, int length);
ZEKO_API int zk_Configuration(uint32_t command, void* parameter, uint32_t size);
ZEKO_API int zk_SetDHCP_Status(const uint8_t* adapterMac, int dhcpEnabled);
ZEKO_API int zk_AccessAdapterCfgByMAC(const uint8_t* adapterMac, int set, uint32_t command, void* buffer,
                                      uint32_t size);
ZEKO_API int zk_FetchTCPIP_Setup(void);
ZEKO_API int zk_SetComportConfig(const uint8_t* cameraMac, uint16_t currentOffset, void* config,
                                 uint32_t size, int flags);

#ifdef __cplusplus
}
#endif

#endif
