#include "platform/win/Win32.h"

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

std::string toUtf8(const std::wstring& w) {
    std::string out;
    for (wchar_t wc : w) {
        auto c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

void OutputDebugStringW(const wchar_t* text) {
    std::wstring w = text ? text : L"";
    std::lock_guard<std::mutex> lock(sinkMutex());
    if (sink()) {
        sink()(w);
        return;
    }
    std::string bytes = toUtf8(w);
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
