#pragma once

// The operating-system and processor description that GetVersionExW and GetSystemInfo give on
// Windows, and the temporary folder. Linux is no Windows version: the version numbers read 0.0
// (build 0, platform id 2), the service-pack text names the system ("Linux" and the kernel
// release), so readers that map version numbers to Windows names show "not supported" with the
// real system beside it. Architecture: 9 (x86-64), 12 (ARM64), 0 (x86), else 0xFFFF. Tests
// replace the description.

#include "platform/win/WinApi.h"

#include <functional>
#include <string>

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize; // 276
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};

struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    void* lpMinimumApplicationAddress;
    void* lpMaximumApplicationAddress;
    uint64_t dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

// False when dwOSVersionInfoSize is not 276.
BOOL GetVersionExW(OSVERSIONINFOW* info);
void GetSystemInfo(SYSTEM_INFO* info);

namespace win {

struct SystemDescription {
    DWORD majorVersion = 0, minorVersion = 0, buildNumber = 0, platformId = 2;
    std::u16string servicePack;
    WORD processorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    DWORD numberOfProcessors = 0;
    uint64_t activeProcessorMask = 0;
};

SystemDescription hostSystemDescription();
// Replaces what the two calls report; an empty function restores the host's description.
void SetSystemDescriptionSource(std::function<SystemDescription()> source);

// The temporary folder: TEMP, else TMPDIR, else /tmp (without a trailing "/").
std::string temporaryFolder();

} // namespace win
