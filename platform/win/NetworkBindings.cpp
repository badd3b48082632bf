#include "platform/win/NetworkBindings.h"

#include "platform/common/FileReplacement.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/WideText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace win {

namespace {

std::string storePath() {
    return RegistryStore::folder() + "/zeko_netcfg.txt";
}

std::string lockPath() {
    return RegistryStore::folder() + "/zeko_netcfg.lock";
}

int openLockFile() {
    RegistryStore::makeFolder();
    return ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

bool plainField(const std::u16string& text) {
    return text.find_first_of(u"\t\r\n") == std::u16string::npos;
}

bool writeFile(const std::string& text) {
    return FileReplacement::replace(storePath(), text);
}

} // namespace

const NetAdapterComponent* NetConfiguration::adapter(const std::u16string& bindName) const {
    for (const NetAdapterComponent& a : adapters)
        if (equalNoCase(a.bindName, bindName))
            return &a;
    return nullptr;
}

const NetServiceComponent* NetConfiguration::serviceByDisplayName(const std::u16string& displayName) const {
    for (const NetServiceComponent& s : services)
        if (s.displayName == displayName)
            return &s;
    return nullptr;
}

const NetBindingPath* NetConfiguration::path(const std::u16string& token,
                                             const NetServiceComponent** service) const {
    for (const NetServiceComponent& s : services)
        for (const NetBindingPath& p : s.paths)
            if (p.token == token) {
                if (service)
                    *service = &s;
                return &p;
            }
    return nullptr;
}

// One record a line, fields separated by tabs:
//   adapter <bind name> <display name> <device-instance id>
//   service <bind name> <display name>
//   binding <service bind name> <token> <adapter bind name> <1 enabled | 0 disabled>
std::optional<std::string> SerialiseNetConfiguration(const NetConfiguration& configuration) {
    std::ostringstream out;
    for (const NetAdapterComponent& a : configuration.adapters) {
        if (!plainField(a.bindName) || !plainField(a.displayName) || !plainField(a.pnpDeviceId))
            return std::nullopt;
        out << "adapter\t" << toUtf8(a.bindName) << '\t' << toUtf8(a.displayName) << '\t'
            << toUtf8(a.pnpDeviceId) << '\n';
    }
    for (const NetServiceComponent& s : configuration.services) {
        if (!plainField(s.bindName) || !plainField(s.displayName))
            return std::nullopt;
        out << "service\t" << toUtf8(s.bindName) << '\t' << toUtf8(s.displayName) << '\n';
        for (const NetBindingPath& p : s.paths) {
            if (!plainField(p.token) || !plainField(p.lowerBindName))
                return std::nullopt;
            out << "binding\t" << toUtf8(s.bindName) << '\t' << toUtf8(p.token) << '\t'
                << toUtf8(p.lowerBindName) << '\t' << (p.enabled ? 1 : 0) << '\n';
        }
    }
    return out.str();
}

NetConfiguration ParseNetConfiguration(const std::string& text) {
    NetConfiguration configuration;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = splitTabs(line);
        if (f.size() == 4 && f[0] == "adapter") {
            configuration.adapters.push_back({fromUtf8(f[1]), fromUtf8(f[2]), fromUtf8(f[3])});
        } else if (f.size() == 3 && f[0] == "service") {
            configuration.services.push_back({fromUtf8(f[1]), fromUtf8(f[2]), {}});
        } else if (f.size() == 5 && f[0] == "binding" && (f[4] == "0" || f[4] == "1")) {
            // A binding belongs to the service of that name read before it; others are damaged.
            for (NetServiceComponent& s : configuration.services)
                if (s.bindName == fromUtf8(f[1])) {
                    s.paths.push_back({fromUtf8(f[2]), fromUtf8(f[3]), f[4] == "1"});
                    break;
                }
        }
    }
    return configuration;
}

std::optional<FileProblem> NetConfigurationProblem(const std::string& text) {
    using Kind = FileProblem::Kind;
    if (text.empty())
        return FileProblem{Kind::Empty};
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> services;
    for (size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = splitTabs(line);
        if (f.size() == 4 && f[0] == "adapter")
            continue;
        if (f.size() == 3 && f[0] == "service") {
            services.push_back(f[1]);
            continue;
        }
        if (f.size() == 5 && f[0] == "binding" && (f[4] == "0" || f[4] == "1")) {
            if (std::find(services.begin(), services.end(), f[1]) == services.end())
                return FileProblem{Kind::BindingBeforeService, number};
            continue;
        }
        return FileProblem{Kind::NotNetworkRecord, number};
    }
    if (text.back() != '\n')
        return FileProblem{Kind::LastLineCut};
    if (services.empty())
        return FileProblem{Kind::NoService};
    return std::nullopt;
}

std::string NetConfigurationPath() {
    return storePath();
}

std::optional<std::string> ReadNetConfigurationText() {
    // A folder read as an empty file would be set aside as empty; a pipe would never answer.
    std::string text;
    if (ReadStore(storePath(), text) != StoreFileRead::Read)
        return std::nullopt;
    return text;
}

bool NetConfigurationStored() {
    struct stat status {};
    return ::lstat(storePath().c_str(), &status) == 0;
}

NetConfiguration ReadNetConfiguration() {
    std::string text;
    ReadStore(storePath(), text); // empty when it cannot be read
    return ParseNetConfiguration(text);
}

NetConfigWriteLock::~NetConfigWriteLock() {
    Release();
}

bool NetConfigWriteLock::IsWriteLocked(std::u16string* holder) const {
    if (fd_ >= 0)
        return false;
    const int fd = openLockFile();
    if (fd < 0)
        return false;
    bool locked = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
    } else if (errno == EWOULDBLOCK) {
        locked = true;
        if (holder) {
            std::string name;
            char buffer[512];
            ssize_t n;
            off_t offset = 0;
            while ((n = ::pread(fd, buffer, sizeof buffer, offset)) > 0 && name.size() < 4096) {
                name.append(buffer, size_t(n));
                offset += n;
            }
            *holder = fromUtf8(name);
        }
    }
    ::close(fd);
    return locked;
}

bool NetConfigWriteLock::Acquire(unsigned timeoutMs, const std::u16string& clientName) {
    if (fd_ >= 0)
        return true;
    const int fd = openLockFile();
    if (fd < 0)
        return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= end) {
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string name = toUtf8(clientName);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, name.data(), name.size(), 0) != ssize_t(name.size())) {
        // The lock is ours all the same; only its holder's name could not be recorded.
    }
    fd_ = fd;
    return true;
}

void NetConfigWriteLock::Release() {
    if (fd_ < 0)
        return;
    if (::ftruncate(fd_, 0) != 0) {
        // A stale name is harmless: it is read only while someone holds the lock.
    }
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool WriteNetConfiguration(const NetConfigWriteLock& lock, const NetConfiguration& configuration) {
    if (!lock.Held())
        return false;
    const std::optional<std::string> text = SerialiseNetConfiguration(configuration);
    return text && writeFile(*text);
}

bool SetBindingPathEnabled(const NetConfigWriteLock& lock, const std::u16string& token, bool enable) {
    if (!lock.Held())
        return false;
    NetConfiguration configuration = ReadNetConfiguration();
    for (NetServiceComponent& s : configuration.services)
        for (NetBindingPath& p : s.paths)
            if (p.token == token) {
                p.enabled = enable;
                return WriteNetConfiguration(lock, configuration);
            }
    return false;
}

} // namespace win
