#include "camera_manager/core/records/CameraEntry.h"

#include "camera_manager/core/records/BoundedText.h"

#include <cstring>

CameraEntry::CameraEntry() {
    std::memset(static_cast<void*>(this), 0, sizeof *this);
}

void CameraEntry::SetAdapterName(const std::u16string& name) {
    SafeCStringToWide(AdapterName_, sizeof AdapterName_, name);
}

void CameraEntry::SetAdapterDriverVersion(const std::u16string& version) {
    SafeCStringToWide(AdapterDriverVersion_, sizeof AdapterDriverVersion_, version);
}

void CameraEntry::SetAdapterDriverDate(const std::u16string& date) {
    SafeCStringToWide(AdapterDriverDate_, sizeof AdapterDriverDate_, date);
}
