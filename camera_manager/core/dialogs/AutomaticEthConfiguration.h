#pragma once

// The main dialog's automatic GigE configuration of the selected camera: the adapter it is
// paired with gets the automatic-configuration range of its whole network (probe time-out
// 100 ms), then the camera's persistent IP address is deleted, so that the camera takes an
// address from that range.

#include <string>

class CameraEntry;
class wxWindow;

struct AutomaticEthOutcome {
    bool success = false;
    std::u16string message;
};

// Runs the two library calls and says what to show. An adapter address or mask that gives no
// usable range (unreadable, 0.0.0.0, no host address) is refused before anything is sent, so the
// camera keeps its persistent address.
AutomaticEthOutcome ConfigureEthAutomatically(const CameraEntry& entry);
// The command: configures and shows the outcome (information or error box).
void RunAutomaticEthConfiguration(wxWindow* parent, const CameraEntry& entry);
