#pragma once

// The main dialog's support-file commands: "Create support file" (buttons 1104 and 1145) and
// "Open support file" (1143). Each pauses the host's refresh while it runs.

#include "camera_manager/diagnostics/dialogs/SupportFileHost.h"

#include <string>

class SupportFileCommands {
public:
    explicit SupportFileCommands(SupportFileHost& host) : host(host) {}

    // Asks for a file name, gathers the cameras' and the machine's data and writes the file.
    void Create();
    // Asks for a file and opens a viewer on it.
    void Open();

private:
    SupportFileHost& host;
};

// Reads the file and opens a viewer on it, or refuses a foreign version with a message.
void OpenSupportFileAt(SupportFileHost& owner, const std::u16string& path);
