#include "pemblon/xml/XMLDoc.h"

#include <gtest/gtest.h>

namespace {

class XMLLibEnvironment : public ::testing::Environment {
public:
    void SetUp() override { PBN::XML::XMLDoc::initLib(); }
    void TearDown() override { PBN::XML::XMLDoc::releaseLib(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new XMLLibEnvironment);

} // namespace
