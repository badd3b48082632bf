#pragma once

// The camera information that the support file keeps for each camera: texts from the camera's
// information record and its board revisions. A plain 144-byte record (UTF-16 text).

#include <cstddef>
#include <cstdint>

struct CamInfoRecord {
    char16_t DateOfQC[15];
    char16_t Manufacturer[25];
    char16_t Version[15];
    uint16_t Type; // the 8-bit type
    uint16_t SensorHardwareRevision;
    uint16_t Cypress;
    uint32_t Blackfin;
    uint16_t DspFirmware;
    uint16_t USBBoard;
    uint16_t SensorBoard;
    uint16_t ProcessingBoard;
    uint16_t MemoryBoard;
    uint16_t Housing;
    uint16_t Filter;
    uint16_t TimingBoard;
    uint16_t ProductRevision;
    uint16_t PowerBoard;
    uint16_t LogicBoard;
};

static_assert(sizeof(CamInfoRecord) == 144);
static_assert(offsetof(CamInfoRecord, Manufacturer) == 30 && offsetof(CamInfoRecord, Version) == 80);
static_assert(offsetof(CamInfoRecord, Type) == 110 && offsetof(CamInfoRecord, Blackfin) == 116);
static_assert(offsetof(CamInfoRecord, DspFirmware) == 120 && offsetof(CamInfoRecord, LogicBoard) == 140);

// Reads the camera's information through the interface library (open by device id | 0x8000,
// information, revisions, close). False when the camera could not be opened. Texts that could
// not be read are string 301 ("Unknown"); revisions that could not be read are 0.
bool ReadCameraInformation(uint32_t deviceId, CamInfoRecord& record);
// What the record holds for a camera that could not be read.
void SetUnknownCameraInformation(CamInfoRecord& record);
