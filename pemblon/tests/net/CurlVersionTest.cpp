#include "pemblon/net/CurlVersion.h"

#include <sstream>

#include <gtest/gtest.h>

using PBN::Net::CurlVersion;

namespace {

// A report over a block the test makes up.
class FakeVersion : public CurlVersion {
public:
    explicit FakeVersion(const curl_version_info_data* info) : CurlVersion(info) {}
};

std::string report(const CurlVersion& version) {
    std::ostringstream out;
    out << version;
    return out.str();
}

} // namespace

TEST(CurlVersionTest, ReportFollowsTheLibrarysBlock) {
    const CurlVersion* version = CurlVersion::get();
    const curl_version_info_data* info = curl_version_info(CURLVERSION_FOURTH);
    const std::string text = report(*version);
    EXPECT_EQ(text.rfind("Age: " + std::to_string(info->age) + "\nVersion: " + info->version +
                             "\nHost: " + info->host + "\nSupported protocols: ",
                         0),
              0u);
    std::string protocols;
    for (const char* const* p = info->protocols; *p; ++p)
        protocols += (protocols.empty() ? "" : ", ") + std::string(*p);
    EXPECT_NE(text.find("Supported protocols: " + protocols + "\nFeatures: \n\t- IPv6: "), std::string::npos);
    EXPECT_EQ(version->supportsSSL(), (info->features & CURL_VERSION_SSL) != 0);
    EXPECT_NE(text.find(std::string("\t- SSL: ") + (version->supportsSSL() ? "YES" : "NO") + "\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t- Character conversions: "), std::string::npos);
    EXPECT_NE(text.find("Iconv version: " + std::to_string(info->iconv_ver_num) + "\n"), std::string::npos);
}

TEST(CurlVersionTest, OptionalLinesFollowFeatureBitsAndTexts) {
    const char* none[] = {nullptr};
    curl_version_info_data block = *curl_version_info(CURLVERSION_FOURTH);
    block.features = CURL_VERSION_IPV6;
    block.protocols = none;
    block.ares = nullptr;
    block.libidn = nullptr;
    block.libssh_version = nullptr;
    block.iconv_ver_num = 0;
    const std::string text = report(FakeVersion(&block));
    EXPECT_NE(text.find("Supported protocols: N/A\n"), std::string::npos);
    EXPECT_NE(text.find("\t- IPv6: YES\n\t- kerberos4: NO\n\t- SSL: NO\n"), std::string::npos);
    EXPECT_EQ(text.find("SSL version"), std::string::npos);
    EXPECT_EQ(text.find("Libz version"), std::string::npos);
    EXPECT_EQ(text.find("Ares version"), std::string::npos);
    EXPECT_EQ(text.find("Libidn version"), std::string::npos);
    EXPECT_EQ(text.find("Libssh version"), std::string::npos);
    EXPECT_NE(text.find("Iconv version: 0\n"), std::string::npos);
    block.protocols = nullptr;
    EXPECT_TRUE(FakeVersion(&block).getSupportedProtocols().empty());
}

TEST(CurlVersionTest, OnlyTheSingletonItselfClearsTheSingleton) {
    CurlVersion* first = CurlVersion::get();
    {
        const CurlVersion copy(*first);
        EXPECT_EQ(copy.getVersion(), first->getVersion());
    }
    EXPECT_EQ(CurlVersion::get(), first);
    CurlVersion::destroy();
    CurlVersion* second = CurlVersion::get();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getVersionNum(), curl_version_info(CURLVERSION_FOURTH)->version_num);
}
