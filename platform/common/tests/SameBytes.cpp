#include "platform/common/tests/SameBytes.h"

#include <algorithm>
#include <glib.h>
#include <memory>
#include <sstream>
#include <string>

namespace zeko::test {

namespace {

std::string digest(std::string_view bytes) {
    std::unique_ptr<gchar, decltype(&g_free)> text(
        g_compute_checksum_for_data(G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()),
                                    bytes.size()),
        &g_free);
    return text ? text.get() : "?";
}

} // namespace

::testing::AssertionResult sameBytes(std::string_view actual, std::string_view expected) {
    const auto common = std::min(actual.size(), expected.size());
    const auto at =
        std::mismatch(actual.begin(), actual.begin() + common, expected.begin()).first - actual.begin();
    if (static_cast<size_t>(at) == common && actual.size() == expected.size())
        return ::testing::AssertionSuccess();
    std::ostringstream text;
    text << actual.size() << " bytes (SHA-256 " << digest(actual) << ") where " << expected.size()
         << " bytes (SHA-256 " << digest(expected) << ") were expected; first difference at offset " << at;
    if (static_cast<size_t>(at) < common)
        text << std::hex << " (0x" << +static_cast<unsigned char>(actual[at]) << " against 0x"
             << +static_cast<unsigned char>(expected[at]) << ")";
    auto failure = ::testing::AssertionFailure() << text.str();
    return failure;
}

} // namespace zeko::test
