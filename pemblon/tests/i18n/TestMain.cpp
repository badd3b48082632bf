// Start-up shared by the translation, SAX, stream-builder, log and XSLT tests, with every modal
// dialog answered at once.

#include "pemblon/tests/i18n/TestSupport.h"
#include "pemblon/tests/support/WxTestProgram.h"

namespace i18ntest {

AnsweredDialogs dialogs;

} // namespace i18ntest

int main(int argc, char** argv) {
    return PBNTest::RunWxTestProgram(argc, argv, i18ntest::dialogs);
}
