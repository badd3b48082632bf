#include "platform/zeko/CallJournal.h"

#include <algorithm>
#include <cstring>

namespace zeko::sim {

bool CallJournal::takeFailure(const char* function, int& code) {
    std::lock_guard lock(mutex_);
    if (failures_.empty())
        return false;
    const auto it = failures_.find(function);
    if (it == failures_.end())
        return false;
    code = it->second.code;
    if (it->second.once)
        failures_.erase(it);
    return true;
}

void CallJournal::inject(const std::string& function, int code, bool once) {
    std::lock_guard lock(mutex_);
    failures_[function] = Failure{code, once};
}

void CallJournal::clearFailures() {
    std::lock_guard lock(mutex_);
    failures_.clear();
}

void CallJournal::record(const char* function, std::initializer_list<long long> ints,
                         std::initializer_list<double> doubles, int result) {
    if (!keeping_)
        return;
    ZkSimCall call{};
    std::strncpy(call.function, function, sizeof call.function - 1);
    for (long long v : ints) {
        if (call.intCount == static_cast<int>(std::size(call.ints)))
            break;
        call.ints[call.intCount++] = v;
    }
    for (double v : doubles) {
        if (call.doubleCount == static_cast<int>(std::size(call.doubles)))
            break;
        call.doubles[call.doubleCount++] = v;
    }
    call.result = result;
    std::lock_guard lock(mutex_);
    if (calls_.size() == kCapacity)
        calls_.pop_front();
    calls_.push_back(call);
}

int CallJournal::size() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(calls_.size());
}

bool CallJournal::entry(int index, ZkSimCall& call) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= calls_.size())
        return false;
    call = calls_[static_cast<size_t>(index)];
    return true;
}

int CallJournal::count(const std::string& function) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                          [&](const ZkSimCall& c) { return function == c.function; }));
}

void CallJournal::clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

} // namespace zeko::sim
