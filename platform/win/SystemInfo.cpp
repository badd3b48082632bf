#include "platform/win/SystemInfo.h"

#include "platform/win/WideText.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace win {

namespace {

std::mutex sourceLock;
std::function<SystemDescription()> descriptionSource;

SystemDescription currentDescription() {
    std::function<SystemDescription()> source;
    {
        std::lock_guard lock(sourceLock);
        source = descriptionSource;
    }
    return source ? source() : hostSystemDescription();
}

} // namespace

SystemDescription hostSystemDescription() {
    SystemDescription d;
    utsname names{};
    if (uname(&names) == 0) {
        d.servicePack = fromUtf8(std::string(names.sysname) + " " + names.release);
        const std::string machine = names.machine;
        if (machine == "x86_64")
            d.processorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
        else if (machine == "aarch64")
            d.processorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
        else if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86")
            d.processorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    d.numberOfProcessors = online > 0 ? DWORD(online) : 1;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        for (int cpu = 0; cpu < 64 && cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &set))
                d.activeProcessorMask |= uint64_t(1) << cpu;
    }
    return d;
}

void SetSystemDescriptionSource(std::function<SystemDescription()> source) {
    std::lock_guard lock(sourceLock);
    descriptionSource = std::move(source);
}

std::string temporaryFolder() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            std::string folder = value;
            while (folder.size() > 1 && folder.back() == '/')
                folder.pop_back();
            return folder;
        }
    }
    return "/tmp";
}

} // namespace win

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW))
        return FALSE;
    const win::SystemDescription d = win::currentDescription();
    info->dwMajorVersion = d.majorVersion;
    info->dwMinorVersion = d.minorVersion;
    info->dwBuildNumber = d.buildNumber;
    info->dwPlatformId = d.platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    d.servicePack.copy(info->szCSDVersion, std::min<size_t>(d.servicePack.size(), 127));
    return TRUE;
}

void GetSystemInfo(SYSTEM_INFO* info) {
    if (!info)
        return;
    std::memset(info, 0, sizeof *info);
    const win::SystemDescription d = win::currentDescription();
    info->wProcessorArchitecture = d.processorArchitecture;
    info->dwPageSize = DWORD(sysconf(_SC_PAGESIZE));
    info->dwActiveProcessorMask = d.activeProcessorMask;
    info->dwNumberOfProcessors = d.numberOfProcessors;
    info->dwAllocationGranularity = 65536;
}
