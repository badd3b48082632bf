#include "platform/win/Win32.h"

#include "platform/common/Utf.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

std::function<void(const std::wstring&)>& sink() {
    static std::function<void(const std::wstring&)> s;
    return s;
}

} // namespace

void OutputDebugStringW(const wchar_t* text) {
    std::wstring w = text ? text : L"";
    std::lock_guard<std::mutex> lock(sinkMutex());
    if (sink()) {
        sink()(w);
        return;
    }
    std::string bytes = Utf::toUtf8(w);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

void OutputDebugStringA(const char* text) {
    std::wstring w;
    for (const char* p = text; p && *p; ++p)
        w += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    OutputDebugStringW(w.c_str());
}

void SetDebugOutputSink(std::function<void(const std::wstring&)> s) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    sink() = std::move(s);
}
