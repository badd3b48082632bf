// The calls made into the simulator, for tests, and the failures tests asked for.
#pragma once

#include "platform/zeko/zeko_sim_control.h"

#include <atomic>
#include <deque>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>

namespace zeko::sim {

class CallJournal {
public:
    static constexpr size_t kCapacity = 100000;

    // Runs the body of the C entry point `function` and records the call with its result. An
    // injected failure is returned without running the body; an exception from the body becomes
    // failureCode, since nothing may leave a C entry point as an exception (an image memory or a
    // film frame too large for the machine, for one).
    template <class Body>
    int run(const char* function, std::initializer_list<long long> ints,
            std::initializer_list<double> doubles, int failureCode, Body&& body) {
        int code = 0;
        if (takeFailure(function, code)) {
            record(function, ints, doubles, code);
            return code;
        }
        int result;
        try {
            result = body();
        } catch (...) {
            result = failureCode;
        }
        record(function, ints, doubles, result);
        return result;
    }

    // True when a failure was injected for the function; code receives it.
    bool takeFailure(const char* function, int& code);
    void inject(const std::string& function, int code, bool once);
    void clearFailures();

    // Calls are kept only from the first use of a test control on: a program that runs on the
    // simulator without them (the viewer, the camera manager) would otherwise grow by every call
    // of its live view until the capacity.
    void keep() { keeping_ = true; }
    void record(const char* function, std::initializer_list<long long> ints,
                std::initializer_list<double> doubles, int result);
    int size() const;
    bool entry(int index, ZkSimCall& call) const;
    int count(const std::string& function) const;
    void clear();

private:
    struct Failure {
        int code;
        bool once;
    };
    mutable std::mutex mutex_;
    std::atomic<bool> keeping_{false};
    std::deque<ZkSimCall> calls_;
    std::map<std::string, Failure> failures_;
};

} // namespace zeko::sim
