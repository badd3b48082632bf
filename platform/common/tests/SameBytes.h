#pragma once

#include <string_view>

#include <gtest/gtest.h>

namespace zeko::test {

// Compares two contents of any size without printing them: a failure names both sizes, both
// SHA-256 digests and the first offset where they differ. gtest's own diff of two strings of tens
// of megabytes takes gigabytes of memory; use this for anything bigger than a few lines.
// EXPECT_TRUE(zeko::test::sameBytes(actual, expected)) << what;
::testing::AssertionResult sameBytes(std::string_view actual, std::string_view expected);

} // namespace zeko::test
