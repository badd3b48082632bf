// libcurl's global state for the camera manager, which links no Pemblon to start it: set up
// once before main runs (no other thread exists yet) and released at exit.

#include "platform/win/WebDownload.h"

namespace {

struct WebSession {
    WebSession() { InitWebDownload(); }
    ~WebSession() { ExitWebDownload(); }
};

const WebSession session;

} // namespace
