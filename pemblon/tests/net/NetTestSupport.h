#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "pemblon/net/NetEvent.h"
#include "pemblon/net/NetHandle.h"
#include "pemblon/net/NetListener.h"

namespace NetTest {

// Records what a handle told it; can throw from a chosen handler or remove itself.
class RecordingListener : public PBN::Net::NetListener {
public:
    std::vector<std::string> calls;
    std::vector<const PBN::Net::NetEvent*> events;
    double lastDownloaded = 0.0;
    bool throwOnProgress = false;
    PBN::Net::NetHandle* removeFromOnBegin = nullptr;

    void pbnNetBegin(const PBN::Net::NetHandle*) override {
        calls.push_back("begin");
        if (removeFromOnBegin)
            removeFromOnBegin->removeListener(this);
    }
    void pbnNetProgress(const PBN::Net::NetHandle*, PBN::Net::NetEvent& event) override {
        calls.push_back("progress");
        events.push_back(&event);
        lastDownloaded = event.getDownloaded();
        if (throwOnProgress)
            throw std::runtime_error("listener failed");
    }
    void pbnNetEnd(const PBN::Net::NetHandle*) override { calls.push_back("end"); }

    int count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls)
            n += c == call;
        return n;
    }
};

inline std::string narrow(const PBN::Strings::ostring& text) {
    return std::string(text.wxstr().utf8_str().data());
}

} // namespace NetTest
