#pragma once

// What the library hands libcurl: the test program stands in for curl_easy_setopt (the library's
// calls bind to the program's definition), records the long options set on one easy handle and
// passes every call on to libcurl's own.

#include <map>
#include <optional>

#include <curl/curl.h>

namespace NetTest {

class CurlOptionLog {
public:
    // Records the long options set on `handle` from now on, until destroyed. One log at a time.
    explicit CurlOptionLog(CURL* handle);
    ~CurlOptionLog();
    CurlOptionLog(const CurlOptionLog&) = delete;
    CurlOptionLog& operator=(const CurlOptionLog&) = delete;

    // The last value set for the option, or nothing when it was not set.
    std::optional<long> last(CURLoption option) const;
    void clear();
};

} // namespace NetTest
