#include "pemblon/xml/XMLDoc.h"

#include <gtest/gtest.h>
#include <wx/init.h>

namespace {

// wx (timers, standard paths) and the XML layer, once for the whole program.
class FilesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_wx = new wxInitializer();
        PBN::XML::XMLDoc::initLib();
    }
    void TearDown() override {
        delete m_wx;
        m_wx = nullptr;
    }

private:
    wxInitializer* m_wx = nullptr;
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new FilesEnvironment);

} // namespace
