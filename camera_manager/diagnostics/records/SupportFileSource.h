#pragma once

// What a support file is gathered from: the cameras the main dialog lists and what it asks the
// system and the driver about each of them. The main dialog gives it; tests may give their own.

#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraList.h"

#include <string>

class SupportFileSource {
public:
    // The USB cameras (list 0) and the GigE cameras (list 1) as listed now.
    virtual CameraList& ListedCameras(int list) = 0;
    // The host adapter with the MAC text; the outputs stay as given when none matches.
    virtual void GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                                     std::u16string& driverVersion, std::u16string& driverDate) = 0;
    // The camera information of the entry into the record.
    virtual void ReadCamInfo(const CameraEntry* entry, CamInfoRecord* record) = 0;

protected:
    ~SupportFileSource() = default;
};
