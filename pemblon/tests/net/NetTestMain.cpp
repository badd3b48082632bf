#include "pemblon/core/HelperFuncs.h"

#include <gtest/gtest.h>
#include <wx/init.h>

namespace {

// wx, the XML layer and libcurl's global state, once for the whole program; the library's
// shutdown also drops the libcurl version report.
class NetEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_wx = new wxInitializer();
        PBN::HelperFuncs::initLib();
    }
    void TearDown() override {
        PBN::HelperFuncs::releaseLib();
        delete m_wx;
        m_wx = nullptr;
    }

private:
    wxInitializer* m_wx = nullptr;
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new NetEnvironment);

} // namespace
