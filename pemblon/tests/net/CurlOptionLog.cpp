// curl.h turns curl_easy_setopt into a type-checking macro; this file defines the function.
#define CURL_DISABLE_TYPECHECK 1

#include "pemblon/tests/net/CurlOptionLog.h"

#include <cstdarg>
#include <mutex>

#include <dlfcn.h>

namespace NetTest {

namespace {

std::mutex g_mutex;
CURL* g_handle = nullptr;
std::map<CURLoption, long> g_values;

void record(CURL* handle, CURLoption option, long value) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (handle != nullptr && handle == g_handle)
        g_values[option] = value;
}

} // namespace

CurlOptionLog::CurlOptionLog(CURL* handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_handle = handle;
    g_values.clear();
}

CurlOptionLog::~CurlOptionLog() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_handle = nullptr;
    g_values.clear();
}

std::optional<long> CurlOptionLog::last(CURLoption option) const {
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto found = g_values.find(option);
    if (found == g_values.end())
        return std::nullopt;
    return found->second;
}

void CurlOptionLog::clear() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_values.clear();
}

} // namespace NetTest

extern "C" CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    using Setopt = CURLcode (*)(CURL*, CURLoption, ...);
    static const Setopt real = reinterpret_cast<Setopt>(dlsym(RTLD_NEXT, "curl_easy_setopt"));
    va_list args;
    // curl declares the option an enum, which is passed as an int; curl's own definition starts
    // its arguments from it the same way.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
    va_start(args, option);
#ifdef __clang__
#pragma clang diagnostic pop
#endif
    CURLcode result;
    // The option number says the argument's type: long, curl_off_t or a pointer.
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        const long value = va_arg(args, long);
        NetTest::record(handle, option, value);
        result = real(handle, option, value);
    } else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB) {
        result = real(handle, option, va_arg(args, curl_off_t));
    } else {
        result = real(handle, option, va_arg(args, void*));
    }
    va_end(args);
    return result;
}
