#include "platform/zeko/DescriptionKeys.h"
#include "platform/zeko/CameraDescription.h"
#include "platform/zeko/DescriptionError.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace zeko::sim::test {

namespace {

// The keys the README's "Simulated cameras" section lists (in backticks, between "Keys, with
// their defaults:" and the paragraph on how values are written).
std::set<std::string> documentedKeys() {
    std::ifstream in(ZEKO_README_PATH);
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    const auto begin = readme.find("Keys, with their defaults:");
    const auto end = readme.find("Addresses are dotted", begin);
    if (begin == std::string::npos || end == std::string::npos)
        return {};
    const std::string list = readme.substr(begin, end - begin);
    std::set<std::string> keys;
    for (size_t open = list.find('`'); open != std::string::npos; open = list.find('`', open + 1)) {
        const size_t close = list.find('`', open + 1);
        if (close == std::string::npos)
            break;
        const std::string word = list.substr(open + 1, close - open - 1);
        if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string::npos)
            keys.insert(word);
        open = close;
    }
    return keys;
}

std::string parseError(const std::string& text) {
    std::string error;
    EXPECT_TRUE(CameraDescription::parse(text, error).empty()) << text;
    return error;
}

} // namespace

TEST(DescriptionKeysTest, TheTableHoldsExactlyTheDocumentedKeysAndStoresEachValue) {
    const auto names = DescriptionKeys::names();
    const std::set<std::string> table(names.begin(), names.end());
    EXPECT_EQ(table.size(), names.size()) << "a key listed twice";
    const auto documented = documentedKeys();
    ASSERT_GT(documented.size(), 40u) << "the README's key list was not found";
    EXPECT_EQ(table, documented);

    // Every key accepts one of these values and stores it: the description read differs from the
    // default one.
    const char* samples[] = {
        "7", "no", "yes", "10.0.0.1", "02-00-00-00-00-09", "1.2.3", "1 2 3 4 5 6 7 8 9 10 11"};
    for (const auto& name : names) {
        const std::string key(name);
        bool stored = false;
        for (const char* sample : samples) {
            CameraDescription camera;
            try {
                DescriptionKeys::read(camera, key, sample);
            } catch (const DescriptionError&) {
                continue;
            }
            stored = stored || !(camera == CameraDescription{});
        }
        EXPECT_TRUE(stored) << key;
    }
}

TEST(DescriptionKeysTest, ErrorsNameTheKeyAndTheLine) {
    CameraDescription camera;
    EXPECT_THROW(DescriptionKeys::read(camera, "frobnicate", "1"), DescriptionError);
    try {
        DescriptionKeys::read(camera, "width", "0");
        ADD_FAILURE() << "width 0 accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "bad value for width (expected an integer from 1 to 16384)");
    }

    const std::string head = "[camera]\nserial = 1\n# a comment\n";
    const std::pair<const char*, const char*> cases[] = {
        {"frobnicate = 1", "line 4: unknown key frobnicate"},
        {"device_id = 0x8000", "line 4: bad value for device_id (expected an integer from 1 to 32767)"},
        {"device_type = 128", "line 4: bad value for device_type (expected an integer from -128 to 127)"},
        {"sensor_id = -1", "line 4: bad value for sensor_id (expected an integer from 0 to 4294967295)"},
        {"in_use = maybe", "line 4: bad value for in_use (yes or no)"},
        {"connected = 2", "line 4: bad value for connected (yes or no)"},
        {"frame_rate = 0", "line 4: bad value for frame_rate"},
        {"gateway = 1.2.3", "line 4: bad IP address for gateway"},
        {"adapter_mac = 02-00-00-00-00", "line 4: bad MAC address for adapter_mac"},
        {"runtime_fw = 1.256.0", "line 4: bad firmware version for runtime_fw"},
        {"revisions = 1 2 3", "line 4: revisions needs eleven numbers"},
        {"[cameras]", "line 4: unknown section [cameras]"},
        {"sensor", "line 4: expected key = value"},
    };
    for (const auto& [line, error] : cases)
        EXPECT_EQ(parseError(head + line + "\n"), error);
    EXPECT_EQ(parseError(head + "eeprom = " + std::string(65, 'e') + "\n"),
              "line 4: eeprom holds at most 64 bytes");
}

TEST(DescriptionKeysTest, TextsLongerThanTheCameraRecordsAreCut) {
    std::string error;
    const auto cameras = CameraDescription::parse("[camera]\nserial=1\nsensor=A\n"
                                                  "manufacturer = ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                                                  "version = V1.2.3.4.5.6\nqc_date = 2026-01-15T10:00\n",
                                                  error);
    ASSERT_EQ(cameras.size(), 1u) << error;
    EXPECT_EQ(cameras[0].manufacturer, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(cameras[0].version, "V1.2.3.4.");
    EXPECT_EQ(cameras[0].qcDate, "2026-01-15T");
}

} // namespace zeko::sim::test
