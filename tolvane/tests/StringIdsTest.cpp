// The names of the viewer's texts against its string table: a name whose number has no text in
// one of the languages shows an empty label there, two names for one number hide that one of
// them means another text, and a text without a name invites a bare number at its call site.
#include "tolvane/res/StringIds.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every "constexpr uint32_t Name = 12;" of the viewer's header and of the camera library's.
std::multimap<uint32_t, std::string> namesByNumber() {
    const std::string header =
        fileText(TOLVANE_STRING_IDS_HEADER) + fileText(TOLVANE_MODEL_STRING_IDS_HEADER);
    const std::regex named(R"re(constexpr uint32_t (\w+) = (\d+);)re");
    std::multimap<uint32_t, std::string> names;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), named); it != std::sregex_iterator();
         ++it)
        names.emplace(static_cast<uint32_t>(std::stoul((*it)[2])), (*it)[1]);
    return names;
}

// Each item of the table, with its French and English texts.
std::map<uint32_t, std::pair<std::string, std::string>> tableItems() {
    const std::string table = fileText(TOLVANE_STRING_TABLE);
    const std::regex item(
        R"re(<item id="(\d+)">\s*<French>([^<]*)</French>\s*<en_US>([^<]*)</en_US>\s*</item>)re");
    std::map<uint32_t, std::pair<std::string, std::string>> items;
    for (auto it = std::sregex_iterator(table.begin(), table.end(), item); it != std::sregex_iterator(); ++it)
        items.emplace(static_cast<uint32_t>(std::stoul((*it)[1])), std::make_pair((*it)[2], (*it)[3]));
    return items;
}

std::string unescaped(std::string text) {
    for (std::string::size_type at = 0; (at = text.find("&amp;", at)) != std::string::npos; ++at)
        text.erase(at + 1, 4);
    return text;
}

} // namespace

// Each name leads to its own text: a header whose numbers were swapped between two names keeps
// its shape, and only the texts tell.
TEST(StringIds, EachNameFindsItsText) {
    namespace ids = Tolvane::ids;
    const auto items = tableItems();
    const std::pair<uint32_t, const char*> expected[] = {
        {ids::MenuFile, "&File"},
        {ids::MenuHelp, "&Help"},
        {ids::Quit, "E&xit"},
        {ids::About, "&About..."},
        {ids::MenuLanguage, "&Language"},
        {ids::QuitHelp, "Quit Tolvane"},
        {ids::AboutHelp, "About Tolvane"},
        {ids::Live, "Live"},
        {ids::LiveHelp, "Start or stop the live image"},
        {ids::MenuCamera, "&Camera"},
        {ids::Properties, "&Properties..."},
        {ids::PropertiesHelp, "Set the camera's parameters"},
        {ids::Grab, "Grab"},
        {ids::GrabHelp, "Grab the current image into"},
        {ids::Record, "Record"},
        {ids::RecordHelp, "Record a film"},
        {ids::HelpContents, "Tolvane &help"},
        {ids::HelpContentsHelp, "Show Tolvane's help"},
        {ids::CameraStopped, "Camera stopped"},
        {ids::PleaseWait, "Please wait..."},
        {ids::FrameRate, "Frame rate"},
        {ids::FramesPerSecond, "fps"},
        {ids::AboutDescription, "Viewer for Zeko cameras."},
        {ids::Picture, "Picture"},
        {ids::SavePicture, "Save picture"},
        {ids::SavePictureHelp, "Save the picture to a file"},
        {ids::CopyPicture, "Copy picture"},
        {ids::CopyPictureHelp, "Copy the picture to the"},
        {ids::ZoomFit, "Fit"},
        {ids::SaveAs, "Save as"},
        {ids::FilmFiles, "AVI films (*.avi)"},
        {ids::PictureNotSaved, "The picture could not be"},
        {ids::Pause, "Pause"},
        {ids::Stop, "Stop"},
        {ids::RecordingParameters, "Recording parameters"},
        {ids::RecordLength, "Length"},
        {ids::RecordFrameRate, "Recording frame rate"},
        {ids::RecordMaxSize, "Maximum size"},
        {ids::ReplayFrameRate, "Replay frame rate"},
        {ids::AdvancedParameters, "Advanced parameters"},
        {ids::SaveSettings, "Save"},
        {ids::SaveSettingsHint, "Store the current settings"},
        {ids::SettingsSaved, "Settings saved"},
        {ids::SettingsNotSaved, "Settings not saved"},
        {ids::RemoveSettingsHint, "Remove the user settings"},
        {ids::Apply, "Apply"},
        {ids::PropertiesTitle, "Properties - "},
        {ids::Gain, "Gain"},
        {ids::MasterGain, "Master gain"},
        {ids::RedGain, "Red gain"},
        {ids::GreenGain, "Green gain"},
        {ids::BlueGain, "Blue gain"},
        {ids::AutomaticGain, "Automatic gain"},
        {ids::Brightness, "Brightness"},
        {ids::Defaults, "Defaults"},
        {ids::WhiteBalance, "White balance"},
        {ids::WhiteBalanceHint, "Put a white object in front"},
        {ids::Start, "Start"},
        {ids::Timing, "Timing"},
        {ids::ImageSize, "Image size"},
        {ids::Width, "Width"},
        {ids::Height, "Height"},
        {ids::Rate, "Rate:"},
        {ids::ExposureTime, "Exposure time (ms)"},
        {ids::OptimiseClock, "Optimise clock"},
        {ids::Optimising, "Optimising..."},
        {ids::Close, "Close"},
        {ids::ReplaceQuestion, "The file %s already exists."},
        {ids::ReplaceCaption, "Replace the file"},
        {ids::HelpViewerMissing, "The help viewer (xchm)"},
        {ids::CameraError, "Camera error in %s, code "},
        {ids::CameraGone, "The camera %s is no longer"},
        {ids::NoFreeCamera, "No camera is free: none is"},
        {ids::SettingsFileError, "The settings file is"},
        {ids::SettingsNotWritten, "The file %s could not be"},
        {ids::InvalidFileName, "The file name is not valid."},
        {ids::CharacterNotInName, "A file name cannot hold"},
        {ids::FolderNotWritable, "The folder %s cannot be"},
        {ids::DiskFull, "The disk of the folder %s"},
    };
    EXPECT_EQ(std::size(expected), namesByNumber().size()) << "a name is missing here";
    for (const auto& [id, start] : expected) {
        const auto item = items.find(id);
        ASSERT_NE(item, items.end()) << start;
        EXPECT_EQ(unescaped(item->second.second).rfind(start, 0), 0u)
            << id << " reads \"" << item->second.second << "\", not \"" << start << "\"";
    }
}

TEST(StringIds, EveryNameHasBothTextsAndEveryTextOneName) {
    const auto names = namesByNumber();
    const auto items = tableItems();
    ASSERT_GT(names.size(), 50u) << "the header was not read: " << TOLVANE_STRING_IDS_HEADER;
    ASSERT_GT(items.size(), 50u) << "the table was not read: " << TOLVANE_STRING_TABLE;
    for (const auto& [id, name] : names) {
        const auto item = items.find(id);
        ASSERT_NE(item, items.end()) << name << " = " << id << " has no text";
        EXPECT_FALSE(item->second.first.empty()) << name << " has no French text";
        EXPECT_FALSE(item->second.second.empty()) << name << " has no English text";
        EXPECT_EQ(names.count(id), 1u) << id << " has more than one name, " << name << " among them";
    }
    for (const auto& [id, texts] : items)
        EXPECT_TRUE(names.count(id)) << "text " << id << " (" << texts.second << ") has no name";
}
