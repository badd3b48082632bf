#include <gtest/gtest.h>
#include <wx/init.h>

namespace {

// wx (sockets, file names), once for the whole program; sockets are used on the main thread.
class SmtpEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_wx = new wxInitializer(); }
    void TearDown() override {
        delete m_wx;
        m_wx = nullptr;
    }

private:
    wxInitializer* m_wx = nullptr;
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new SmtpEnvironment);

} // namespace
