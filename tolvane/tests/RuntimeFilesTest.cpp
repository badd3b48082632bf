// The build step that puts res/ beside the programs, run as the build runs it: the settings file
// the viewer saved survives a rebuild after any change of the shipped files, and the other files
// follow the source tree.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class RuntimeFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tolvane_runtime_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        res = dir / "res";
    }
    void TearDown() override { fs::remove_all(dir); }
    // The build's command for one program folder, with the files it keeps.
    int install() {
        const std::string command = std::string("'") + ZEKO_CMAKE_COMMAND + "' -DSOURCE='" + TOLVANE_RES_DIR +
                                    "' -DDEST='" + res.string() + "' '-DKEEP=" + TOLVANE_KEPT_RES_FILES +
                                    "' -P '" + TOLVANE_RUNTIME_SCRIPT + "' >/dev/null 2>&1";
        return std::system(command.c_str());
    }
    fs::path dir, res;
    const fs::path shipped = TOLVANE_RES_DIR;
};

} // namespace

TEST_F(RuntimeFiles, AFirstBuildInstallsEveryShippedFileTheSettingsIncluded) {
    ASSERT_EQ(install(), 0);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(shipped)) {
        ++files;
        const fs::path copy = res / entry.path().filename();
        ASSERT_TRUE(fs::exists(copy)) << copy;
        EXPECT_EQ(fileText(copy), fileText(entry.path())) << copy;
    }
    EXPECT_GT(files, 3u);
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(res), fs::directory_iterator())),
              files)
        << "a temporary file was left";
}

// What the user saved (a language, a gain) outlives a change of the shipped settings or texts;
// the texts and pictures are refreshed all the same.
TEST_F(RuntimeFiles, ARebuildKeepsTheSavedSettingsAndRefreshesTheOtherFiles) {
    ASSERT_EQ(install(), 0);
    const std::string saved = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Tolvane>\n"
                              "  <Language>English</Language>\n  <UserRedGain>55</UserRedGain>\n</Tolvane>\n";
    write(res / "config.xml", saved);
    write(res / "Tolvane.xml", "an older string table");
    fs::remove(res / "live.bmp");
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(fileText(res / "config.xml"), saved);
    EXPECT_EQ(fileText(res / "Tolvane.xml"), fileText(shipped / "Tolvane.xml"));
    EXPECT_EQ(fileText(res / "live.bmp"), fileText(shipped / "live.bmp"));
    EXPECT_FALSE(fs::exists(res / "config.xml.part"));

    // A settings file the user removed comes back as shipped.
    fs::remove(res / "config.xml");
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(fileText(res / "config.xml"), fileText(shipped / "config.xml"));
}
