#pragma once

// A camera's serial interface as its virtual COM port driver serves it. The driver makes a
// pseudo-terminal whose device stands for "\\.\COMn" (the link <registry folder>/zeko_COM<n>
// points at it) and carries what is written there to the camera's serial line, and what comes
// in on the line back to the port. The line is the device the camera description's
// `serial_line` names (a real serial device, or one end of a socat pair); without one nothing
// is wired to the camera's connector: what is sent goes nowhere and nothing comes back.
//
// A thread copies between the two; the destructor stops it, removes the link and closes the
// pseudo-terminal, so a program that still holds the port sees it hang up.

#include <cstdint>
#include <string>
#include <thread>

namespace zeko::sim {

class SerialInterface {
public:
    // Serves COM<comNumber>; line may be empty. Check serving() for success.
    SerialInterface(uint32_t comNumber, const std::string& line);
    ~SerialInterface();
    SerialInterface(const SerialInterface&) = delete;
    SerialInterface& operator=(const SerialInterface&) = delete;

    bool serving() const { return thread_.joinable(); }
    // The link that stands for the port, and the pseudo-terminal it points at.
    const std::string& linkPath() const { return link_; }
    const std::string& devicePath() const { return device_; }

    // <ZEKO_REGISTRY_DIR, else $XDG_CONFIG_HOME/zeko, else ~/.config/zeko>/zeko_COM<n>: where
    // the COM port device store looks for a virtual COM port.
    static std::string linkPathFor(uint32_t comNumber);

private:
    void run();

    int master_ = -1, keepOpen_ = -1, line_ = -1, stop_ = -1;
    std::string link_, device_, lineName_;
    std::thread thread_;
};

} // namespace zeko::sim
