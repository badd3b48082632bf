#include "tolvane/ViewerRules.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Tolvane::ViewerRules;

TEST(DisplayInterval, IsTheFramePeriodInWholeMilliseconds) {
    EXPECT_EQ(displayInterval(25), 40);
    EXPECT_EQ(displayInterval(30), 33);
    EXPECT_EQ(displayInterval(1000), 1);
    EXPECT_EQ(displayInterval(0.5), 2000);
}

TEST(DisplayInterval, FallsBackTo300msWithoutAUsableRate) {
    EXPECT_EQ(displayInterval(0), 300);
    EXPECT_EQ(displayInterval(-5), 300);
    EXPECT_EQ(displayInterval(1001), 300); // below one millisecond
    EXPECT_EQ(displayInterval(std::nan("")), 300);
    EXPECT_EQ(displayInterval(1e-300), INT_MAX); // far beyond an int: capped
    EXPECT_EQ(displayInterval(std::numeric_limits<double>::denorm_min()), INT_MAX);
}

TEST(StatusTexts, FrameRateAndAbout) {
    EXPECT_EQ(frameRateStatus(wxT("Frame rate"), 29.5, wxT("im/s")), wxT("Frame rate : 29.5 im/s"));
    EXPECT_EQ(frameRateStatus(wxT("Fr"), 25, wxT("im/s")), wxT("Fr : 25 im/s"));
    EXPECT_EQ(aboutText(wxT("ZK1480-C"), wxT("Bye")), wxT("Tolvane v. 1.3.\n\nCamera used: ZK1480-C\n\nBye"));
}

TEST(Language, OnlyFrenchAndEnglishSwitch) {
    EXPECT_EQ(languageForName(wxT("French")), wxLANGUAGE_FRENCH);
    EXPECT_EQ(languageForName(wxT("English")), wxLANGUAGE_ENGLISH_US);
    EXPECT_FALSE(languageForName(wxT("german")));
    EXPECT_FALSE(languageForName(wxT("french")));
}

TEST(Zoom, ChoicesGiveTheirFactorsAndFitIsNegative) {
    const double expected[] = {4, 3, 2, 1, 0.75, 0.5, -1};
    for (int i = 0; i < zoomChoiceCount; ++i)
        EXPECT_EQ(zoomChoiceFactor(i), expected[i]) << i;
    EXPECT_STREQ(zoomChoiceTexts[3], "100 %");
}

// Only the pixels under the window are scaled: at 1000 % a 640 x 1024 picture is 6400 x 10240.
TEST(Zoom, OnlyThePixelsUnderTheWindowAreScaled) {
    const wxSize image(640, 1024), shown(6400, 10240);
    const wxRect source = zoomSource(wxRect(3005, 5003, 700, 500), image, shown);
    EXPECT_EQ(source, wxRect(300, 500, 71, 51)); // the pixels cut at both edges included
    EXPECT_EQ(zoomTarget(source, image, shown), wxRect(3000, 5000, 710, 510));
    // Clipped to the picture, and nothing beyond it.
    EXPECT_EQ(zoomSource(wxRect(6000, 10000, 800, 600), image, shown), wxRect(600, 1000, 40, 24));
    EXPECT_TRUE(zoomSource(wxRect(6400, 0, 800, 600), image, shown).IsEmpty());
    EXPECT_TRUE(zoomSource(wxRect(0, 0, 0, 0), image, shown).IsEmpty());
    // Shrunk, the whole picture shows; adjacent source pixels land on adjacent shown pixels.
    const wxSize half(320, 512);
    EXPECT_EQ(zoomSource(wxRect(0, 0, 800, 600), image, half), wxRect(0, 0, 640, 1024));
    EXPECT_EQ(zoomTarget(wxRect(0, 0, 640, 1024), image, half), wxRect(0, 0, 320, 512));
    const wxSize odd(960, 1536); // 150 %
    const wxRect left = zoomTarget(wxRect(0, 0, 3, 1), image, odd);
    EXPECT_EQ(zoomTarget(wxRect(3, 0, 1, 1), image, odd).GetLeft(), left.GetRight() + 1);
}

// Un-maximised to the size of its menus and tool bar (234 x 67), the main window gets 800 x 600.
TEST(MainWindow, LeavingTheMaximisedStateGivesBackTheNormalSize) {
    const wxSize normal(800, 600);
    EXPECT_EQ(restoredSize(true, false, wxSize(234, 67), normal), normal);
    EXPECT_FALSE(restoredSize(true, true, wxSize(234, 67), normal));    // still maximised
    EXPECT_FALSE(restoredSize(false, false, wxSize(234, 67), normal));  // the user made it small
    EXPECT_FALSE(restoredSize(true, false, wxSize(1000, 700), normal)); // a normal size of its own
    EXPECT_FALSE(restoredSize(true, false, wxSize(300, 700), normal));  // tall and narrow: the user's
}

// The tab keys of the desktop, from any control of the properties; Tab alone and Shift+Tab move
// between controls, Ctrl+Shift+Page Down moves the tab itself elsewhere.
TEST(PropertiesTabs, CtrlTabAndCtrlPageKeysStepThroughTheTabs) {
    EXPECT_EQ(tabStep(WXK_TAB, wxMOD_CONTROL), 1);
    EXPECT_EQ(tabStep(WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT), -1);
    EXPECT_EQ(tabStep(WXK_PAGEDOWN, wxMOD_CONTROL), 1);
    EXPECT_EQ(tabStep(WXK_NUMPAD_PAGEDOWN, wxMOD_CONTROL), 1);
    EXPECT_EQ(tabStep(WXK_PAGEUP, wxMOD_CONTROL), -1);
    EXPECT_EQ(tabStep(WXK_NUMPAD_PAGEUP, wxMOD_CONTROL), -1);
    EXPECT_EQ(tabStep(WXK_TAB, wxMOD_NONE), 0);
    EXPECT_EQ(tabStep(WXK_TAB, wxMOD_SHIFT), 0);
    EXPECT_EQ(tabStep(WXK_PAGEDOWN, wxMOD_NONE), 0);
    EXPECT_EQ(tabStep(WXK_PAGEDOWN, wxMOD_CONTROL | wxMOD_SHIFT), 0);
    EXPECT_EQ(tabStep(WXK_TAB, wxMOD_CONTROL | wxMOD_ALT), 0);
    EXPECT_EQ(tabStep('T', wxMOD_CONTROL), 0);
}

TEST(Zoom, TypedPercentagesAreReadAndBounded) {
    EXPECT_EQ(parseZoomPercent(wxT("150")), 150.0);
    EXPECT_EQ(parseZoomPercent(wxT(" 150 % ")), 150.0);
    EXPECT_EQ(parseZoomPercent(wxT("12.5")), 12.5);
    EXPECT_EQ(parseZoomPercent(wxT("100000")), maxZoomPercent);
    EXPECT_EQ(parseZoomPercent(wxT("0")), minZoomPercent);
    EXPECT_EQ(parseZoomPercent(wxT("-30")), minZoomPercent);
    EXPECT_FALSE(parseZoomPercent(wxT("big")));
    EXPECT_FALSE(parseZoomPercent(wxT("")));
    EXPECT_FALSE(parseZoomPercent(wxT("inf")));
    EXPECT_EQ(zoomText(150), wxT("150 %"));
}

TEST(Zoom, ScaledSizesAndFit) {
    EXPECT_EQ(scaledSize(wxSize(640, 480), 0.5), wxSize(320, 240));
    EXPECT_EQ(scaledSize(wxSize(3, 3), 0.1), wxSize(1, 1));
    EXPECT_DOUBLE_EQ(fitScale(wxSize(400, 200), wxSize(640, 480)), 200.0 / 480);
    EXPECT_DOUBLE_EQ(fitScale(wxSize(320, 240), wxSize(640, 480)), 0.5); // equal: horizontal
    EXPECT_DOUBLE_EQ(fitScale(wxSize(0, 200), wxSize(640, 480)), 0);
    EXPECT_DOUBLE_EQ(fitScale(wxSize(400, 200), wxSize(0, 0)), 0);
    EXPECT_EQ(zoomQuality(1), wxIMAGE_QUALITY_BILINEAR);
    EXPECT_EQ(zoomQuality(0.5), wxIMAGE_QUALITY_BILINEAR);
    EXPECT_EQ(zoomQuality(2), wxIMAGE_QUALITY_NEAREST);
}

TEST(PictureFiles, TypeFromExtensionIgnoringCase) {
    EXPECT_EQ(pictureType(wxT("bmp")), wxBITMAP_TYPE_BMP);
    EXPECT_EQ(pictureType(wxT("tif")), wxBITMAP_TYPE_TIFF);
    EXPECT_EQ(pictureType(wxT("jpg")), wxBITMAP_TYPE_JPEG);
    EXPECT_EQ(pictureType(wxT("png")), wxBITMAP_TYPE_PNG);
    EXPECT_EQ(pictureType(wxT("PNG")), wxBITMAP_TYPE_PNG);
    EXPECT_EQ(pictureType(wxT("Jpg")), wxBITMAP_TYPE_JPEG);
    EXPECT_EQ(pictureType(wxT("gif")), wxBITMAP_TYPE_INVALID);
    EXPECT_EQ(pictureType(wxT("")), wxBITMAP_TYPE_INVALID);
}

TEST(PictureFiles, FilterIndexFollowsTheLastExtension) {
    EXPECT_EQ(pictureFilterIndex(wxT("bmp")), 0);
    EXPECT_EQ(pictureFilterIndex(wxT("jpg")), 1);
    EXPECT_EQ(pictureFilterIndex(wxT("tif")), 2);
    EXPECT_EQ(pictureFilterIndex(wxT("png")), 3);
    EXPECT_EQ(pictureFilterIndex(wxT("")), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pictureFilterIndex(pictureExtension(i)), i);
    EXPECT_EQ(pictureExtension(9), wxT("bmp"));
    EXPECT_EQ(pictureWildcard(),
              wxT("Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg|TIFF (*.tif)|*.tif|PNG (*.png)|*.png"));
}

TEST(PictureFiles, TheChosenTypeCompletesANameWithoutExtension) {
    EXPECT_EQ(withDefaultExtension(wxT("/tmp/Tolvane2"), wxT("png")), wxT("/tmp/Tolvane2.png"));
    EXPECT_EQ(withDefaultExtension(wxT("/tmp/Tolvane2.PNG"), wxT("bmp")), wxT("/tmp/Tolvane2.PNG"));
    EXPECT_EQ(withDefaultExtension(wxT("/tmp/a.b/Tolvane"), wxT("avi")), wxT("/tmp/a.b/Tolvane.avi"));
}

class ProposedNames : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tolvane_rules_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    void touch(const char* name) { std::ofstream(dir / name) << "x"; }
    fs::path dir;
};

TEST_F(ProposedNames, CountOnlyTheViewersFilesInTheFolder) {
    EXPECT_EQ(proposedName(wxString(dir.string()), wxT("avi")), wxT("Tolvane0.avi"));
    touch("Tolvane0.png");
    touch("Tolvane2.png");
    touch("other.png");
    fs::create_directory(dir / "TolvaneFolder");
    EXPECT_EQ(proposedName(wxString(dir.string()), wxEmptyString), wxT("Tolvane2"));
}

TEST_F(ProposedNames, AMissingFolderCountsZeroSilently) {
    EXPECT_EQ(countViewerFiles(wxString((dir / "missing").string())), 0);
}

TEST(RecordingParameters, UnitsConvertToSecondsImagesPerSecondAndMegabytes) {
    EXPECT_EQ(lengthSeconds(wxT("2"), wxT("min")), 120);
    EXPECT_EQ(lengthSeconds(wxT("1.5"), wxT("h")), 5400);
    EXPECT_EQ(lengthSeconds(wxT("60"), wxT("s")), 60);
    EXPECT_EQ(lengthSeconds(wxT(""), wxT("s")), -1);
    EXPECT_EQ(recordFrameRate(wxT("30"), wxT("im/min")), 0.5);
    EXPECT_EQ(recordFrameRate(wxT("7200"), wxT("im/h")), 2);
    EXPECT_EQ(recordFrameRate(wxT("x"), wxT("im/s")), -1);
    EXPECT_EQ(maxSizeMB(wxT("2"), wxT("GB")), 2048);
    EXPECT_EQ(maxSizeMB(wxT("300"), wxT("MB")), 300);
    EXPECT_EQ(replayRate(wxT("24")), 24);
    EXPECT_EQ(replayRate(wxT("")), 25);
}

TEST(RecordingParameters, ASizeThatIsNotPositiveIsTheDefault) {
    EXPECT_EQ(maxSizeMB(wxT(""), wxT("MB")), 2048);
    EXPECT_EQ(maxSizeMB(wxT("0"), wxT("GB")), 2048);
    EXPECT_EQ(maxSizeMB(wxT("-1"), wxT("MB")), 2048);
}

TEST(Sliders, LabelsRangesAndExposure) {
    EXPECT_EQ(sliderMinText(32), wxT("32"));
    EXPECT_EQ(sliderMaxText(2048), wxT("2048"));
    EXPECT_EQ(sliderMaxText(40.4), wxT("40"));
    EXPECT_EQ(sliderMinText(0.5), wxT("0.5"));
    EXPECT_EQ(sliderRange(0, 40), std::make_pair(0, 40));
    EXPECT_EQ(sliderRange(0, 0.135), std::make_pair(0, 1)); // rate above 1000: still a range
    EXPECT_EQ(sliderRange(32, 24), std::make_pair(32, 33));
    EXPECT_EQ(sliderRange(0, HUGE_VAL).second, INT_MAX - 1);
    EXPECT_DOUBLE_EQ(*exposureMax(25), 40);
    EXPECT_DOUBLE_EQ(*exposureMax(10), 100);
    EXPECT_FALSE(exposureMax(0));
    EXPECT_FALSE(exposureMax(-2));
}

// Every numeric field reads through one rule: either separator, whatever the C locale.
TEST(Numbers, ACommaOrAPointIsTheDecimalSeparatorInEveryField) {
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"C", "fr_FR.UTF-8", "en_US.UTF-8"}) {
        if (!setlocale(LC_NUMERIC, locale))
            continue; // a locale the machine lacks
        for (const wxString typed : {wxT("12,5"), wxT("12.5"), wxT(" 12,5 ")}) {
            EXPECT_EQ(parseNumber(typed), 12.5) << locale;
            EXPECT_EQ(lengthSeconds(typed, wxT("s")), 12.5);
            EXPECT_EQ(recordFrameRate(typed, wxT("im/s")), 12.5);
            EXPECT_EQ(maxSizeMB(typed, wxT("MB")), 12.5);
            EXPECT_EQ(parseZoomPercent(typed + wxT(" %")), 12.5);
        }
        EXPECT_FALSE(parseNumber(wxT("abc")));
        EXPECT_FALSE(parseNumber(wxT("1,2.5")));
        EXPECT_EQ(lengthSeconds(wxT("abc"), wxT("s")), -1);
        EXPECT_EQ(recordFrameRate(wxT("abc"), wxT("im/s")), -1);
        EXPECT_EQ(maxSizeMB(wxT("abc"), wxT("MB")), defaultMaxSizeMB);
        EXPECT_FALSE(parseZoomPercent(wxT("abc")));
        EXPECT_EQ(lengthSeconds(wxT("2,5"), wxT("min")), 150);

        EXPECT_EQ(numberText(12.5, wxT(',')), wxT("12,5")) << locale;
        EXPECT_EQ(numberText(12.5, wxT('.')), wxT("12.5"));
        EXPECT_EQ(numberText(60, wxT(',')), wxT("60"));
        EXPECT_EQ(numberText(1.0 / 3, wxT('.')), wxT("0.333333")); // six digits, as "%g"
        EXPECT_EQ(numberText(2048, wxT('.')), wxT("2048"));
    }
    setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(decimalSeparator(wxLANGUAGE_FRENCH), wxT(','));
    EXPECT_EQ(decimalSeparator(wxLANGUAGE_ENGLISH_US), wxT('.'));
}

TEST(StatusTexts, FieldsFitTheirWidestTextAndKeepTheirMinimum) {
    EXPECT_EQ(statusFieldWidth({50, 120}, 200), 200);
    EXPECT_EQ(statusFieldWidth({50, 260}, 200), 260 + statusFieldPadding);
    EXPECT_EQ(statusFieldWidth({}, 170), 170);
}

TEST(Colours, SavedTextIsReadableOnDialogBackgrounds) {
    EXPECT_NEAR(contrastRatio(*wxBLACK, *wxWHITE), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(*wxWHITE, *wxWHITE), 1.0, 1e-9);
    EXPECT_LT(contrastRatio(*wxGREEN, *wxWHITE), 4.5); // the stock green fails
    for (const wxColour& background :
         {wxColour(255, 255, 255), wxColour(246, 245, 244), wxColour(237, 237, 237), wxColour(222, 221, 218)})
        EXPECT_GE(contrastRatio(savedColour(), background), 4.5) << background.GetAsString();
}
