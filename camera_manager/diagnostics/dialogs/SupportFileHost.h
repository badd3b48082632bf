#pragma once

// The window the support-file commands belong to (the main dialog): besides the cameras a file is
// gathered from, the window its messages and viewers belong to, the refresh a command pauses and
// the count of the viewers it has open. The count is no virtual call: a viewer still open when
// its host goes is destroyed after the host's own part, and counts down on the way.

#include "camera_manager/diagnostics/records/SupportFileSource.h"

class wxWindow;

class SupportFileHost : public SupportFileSource {
public:
    virtual wxWindow* HostWindow() = 0;
    // Timer protocol of every command: stop first, then refresh at once.
    virtual void StopRefresh() = 0;
    virtual void RefreshNow() = 0;
    // Support-file viewers open: while above 0 the refresh does not take the focus.
    void AddOpenViewer() { ++openViewerCount; }
    void RemoveOpenViewer() { openViewerCount = openViewerCount > 0 ? openViewerCount - 1 : 0; }
    int GetOpenViewerCount() const { return openViewerCount; }

protected:
    ~SupportFileHost() = default;

    int openViewerCount = 0;
};
