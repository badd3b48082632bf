// The simulated cameras' own memory (camera ID, user EEPROM, persistent IP, firmware, COM port)
// and the driver's settings, kept in one file shared by every process that loads the simulator.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace zeko::sim {

class StateStore {
public:
    using Section = std::map<std::string, std::string>;

    // The folder is ZEKO_SIM_STATE_DIR, else beside the registry store (ZEKO_REGISTRY_DIR, else
    // $XDG_CONFIG_HOME/zeko, else ~/.config/zeko).
    static std::string defaultFolder();
    // The camera manager's registry folder (ZEKO_REGISTRY_DIR, else $XDG_CONFIG_HOME/zeko, else
    // ~/.config/zeko), where the virtual COM port links live too.
    static std::string registryFolder();

    void open(const std::string& folder);
    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }
    // Creates the folder (and its parents) when missing.
    void ensureFolder() const;

    // Re-reads the file when another process changed it.
    void refresh();
    std::string get(const std::string& section, const std::string& key, const std::string& fallback) const;
    uint32_t getU32(const std::string& section, const std::string& key, uint32_t fallback) const;
    // Locks the file against other processes, re-reads it, applies the values and writes it
    // through a temporary file renamed into place. False when the file cannot be written.
    bool set(const std::string& section, const Section& values);

private:
    void load();
    bool write() const;

    std::string folder_;
    std::string path_;
    std::map<std::string, Section> sections_;
    long long stamp_ = -1;
    long long size_ = -1;
};

} // namespace zeko::sim
