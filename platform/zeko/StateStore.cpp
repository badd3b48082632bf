#include "platform/zeko/StateStore.h"

#include "platform/common/FileReplacement.h"
#include "platform/common/RegistryFolder.h"
#include "platform/common/StoreFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zeko::sim {

namespace {

void makeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos == folder.size() || folder[pos] == '/')
            ::mkdir(folder.substr(0, pos).c_str(), 0755);
    }
}

} // namespace

std::string StateStore::defaultFolder() {
    if (const char* dir = std::getenv("ZEKO_SIM_STATE_DIR"); dir && *dir)
        return dir;
    return registryFolder();
}

std::string StateStore::registryFolder() {
    return RegistryFolder();
}

void StateStore::open(const std::string& folder) {
    folder_ = folder;
    path_ = folder + "/zeko_sim_state.ini";
    sections_.clear();
    stamp_ = size_ = -1;
    load();
}

void StateStore::ensureFolder() const {
    makeFolders(folder_);
}

void StateStore::refresh() {
    struct stat st {};
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    const long long stamp = exists ? st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec : -2;
    const long long size = exists ? st.st_size : -2;
    if (stamp != stamp_ || size != size_)
        load();
}

void StateStore::load() {
    struct stat st {};
    sections_.clear();
    if (::stat(path_.c_str(), &st) != 0) {
        stamp_ = size_ = -2;
        return;
    }
    stamp_ = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    size_ = st.st_size;
    // A pipe or a folder in the file's place holds no state and is never waited on; the camera
    // manager names it to the user.
    std::string text;
    if (readStoreFile(path_, text) != StoreFileRead::Read)
        return;
    std::istringstream in(text);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &sections_[line.substr(1, line.size() - 2)];
            continue;
        }
        const auto eq = line.find('=');
        if (current && eq != std::string::npos)
            (*current)[line.substr(0, eq)] = line.substr(eq + 1);
    }
}

std::string StateStore::get(const std::string& section, const std::string& key,
                            const std::string& fallback) const {
    const auto s = sections_.find(section);
    if (s == sections_.end())
        return fallback;
    const auto v = s->second.find(key);
    return v == s->second.end() ? fallback : v->second;
}

uint32_t StateStore::getU32(const std::string& section, const std::string& key, uint32_t fallback) const {
    const std::string text = get(section, key, "");
    if (text.empty())
        return fallback;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    return (*end == '\0' && v <= 0xFFFFFFFFULL) ? static_cast<uint32_t>(v) : fallback;
}

bool StateStore::set(const std::string& section, const Section& values) {
    // What is not a file in the state's place is left there, never renamed over.
    if (struct stat st{}; ::stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return false;
    makeFolders(folder_);
    // A lock file of its own: the state file itself is replaced by rename on every write.
    const int lock = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock >= 0)
        ::flock(lock, LOCK_EX);
    load();
    for (const auto& [k, v] : values)
        sections_[section][k] = v;
    const bool ok = write();
    load();
    if (lock >= 0)
        ::close(lock); // releases the lock
    return ok;
}

bool StateStore::write() const {
    std::ostringstream out;
    out << "# Simulated cameras' own memory and the simulated driver's settings.\n";
    for (const auto& [name, values] : sections_) {
        out << '[' << name << "]\n";
        for (const auto& [k, v] : values)
            out << k << '=' << v << '\n';
    }
    return FileReplacement::replace(path_, out.str());
}

} // namespace zeko::sim
