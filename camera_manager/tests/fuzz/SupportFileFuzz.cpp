// libFuzzer target over the opening of a support file: the version-header test, the text form's
// decoding into an in-memory profile, the binary reader and the pages built from either. It
// reads and writes no file.
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/diagnostics/records/SupportFilePages.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ProfileText.h"
#include "platform/win/ResourceStrings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool strings = (SetProgramResourceStrings(managerStrings, managerStringCount), true);
    (void)strings;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string header;
    switch (ClassifySupportFile(bytes, header)) {
    case SupportFileForm::Foreign:
        ForeignVersionMessage(header);
        break;
    case SupportFileForm::Binary:
        BuildPagesFromBinary(ReadBinarySupportFile(bytes));
        break;
    case SupportFileForm::Text:
        BuildPagesFromProfile(win::ProfileText(DecodeTextSupportFile(bytes)));
        break;
    }
    return 0;
}
