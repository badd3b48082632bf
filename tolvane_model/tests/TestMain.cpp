// Start-up of the camera model's tests: the viewer's string table in English, every message box
// answered at once.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/strings/StringTable.h"
#include "pemblon/tests/support/WxTestProgram.h"
#include "pemblon/xml/XMLDoc.h"

int main(int argc, char** argv) {
    return PBNTest::RunWxTestProgram(argc, argv, tvmtest::dialogs, [] {
        PBN::XML::XMLDoc table(PBN::Strings::ostring(TOLVANE_RES_DIR "/Tolvane.xml"), false, false);
        PBN::Strings::StringTable::get().load("Tolvane", table.getRoot());
        PBN::Strings::StringTable::get().setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    });
}
