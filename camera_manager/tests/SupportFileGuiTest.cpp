#include "camera_manager/core/dialogs/CZekoManagerApp.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/diagnostics/ShowSupportFileDlg.h"
#include "camera_manager/diagnostics/SupportFileCollector.h"
#include "camera_manager/diagnostics/SupportFileFormat.h"
#include "camera_manager/diagnostics/SupportFileOpening.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/WideText.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/treelist.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new CZekoManagerApp(); }));

void runEvents() {
    for (int i = 0; i < 20; ++i) {
        wxYield();
        wxTheApp->ProcessIdle();
        wxTheApp->ProcessPendingEvents();
    }
}

class SupportFileGuiTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        setenv("TEMP", dir_.c_str(), 1);
        hook.Register();
    }
    void TearDown() override {
        hook.Unregister();
        ManagerTest::TearDown();
    }
    std::string countTempFiles() {
        std::string names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            if (entry.path().filename().string().rfind("support-", 0) == 0)
                names += entry.path().filename().string() + " ";
        return names;
    }
    cmtest::AnswerDialogs hook;
};

TEST_F(SupportFileGuiTest, WrittenFileOpensInAViewerWithEveryPage) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    // The dialog may have listed the cameras already on its first tick: list them once.
    main->cameraLists[0].Clear();
    main->cameraLists[1].Clear();
    ASSERT_TRUE(FillCameraList(main->cameraLists[0], FillUsb));
    ASSERT_TRUE(FillCameraList(main->cameraLists[1], FillGigE));
    std::vector<int> progress;
    const SupportFileContent content = GatherSupportFileContent(*main, [&](int p) { progress.push_back(p); });
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100}));
    std::u16string units = BuildSupportText(content);
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Support.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));

    OpenSupportFileAt(*main, win::fromUtf8(path));
    OpenSupportFileAt(*main, win::fromUtf8(path));
    EXPECT_EQ(main->GetOpenViewerCount(), 2);
    EXPECT_TRUE(hook.messages.empty());
    std::vector<ShowSupportFileDlg*> viewers;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* viewer = dynamic_cast<ShowSupportFileDlg*>(window))
            viewers.push_back(viewer);
    ASSERT_EQ(viewers.size(), 2u);
    ShowSupportFileDlg* viewer = viewers[0];
    EXPECT_EQ(viewer->GetTitle(), wxString::FromUTF8(path));
    EXPECT_EQ(viewer->TempPath(), "-1");
    EXPECT_EQ(countTempFiles(), "");
    wxTreeListCtrl* tree = viewer->Tree();
    wxTreeListItem usb = tree->GetFirstChild(tree->GetRootItem());
    ASSERT_TRUE(usb.IsOk());
    EXPECT_EQ(tree->GetItemText(usb), "USB");
    EXPECT_TRUE(tree->IsExpanded(usb));
    const wxTreeListItem camera = tree->GetFirstChild(usb);
    EXPECT_EQ(tree->GetItemText(camera, 0), "1");
    EXPECT_EQ(tree->GetItemText(camera, 1), "Free");
    const wxTreeListItem eth = tree->GetNextSibling(usb);
    EXPECT_EQ(tree->GetItemText(eth), "ETH");
    EXPECT_EQ(tree->GetItemText(tree->GetFirstChild(eth), 1), "Free / Available");
    EXPECT_FALSE(tree->IsExpanded(tree->GetFirstChild(eth)));
    size_t top = 0;
    for (wxTreeListItem i = tree->GetFirstChild(tree->GetRootItem()); i.IsOk(); i = tree->GetNextSibling(i))
        ++top;
    EXPECT_EQ(top, viewer->Rows().size());

    viewer->SetClientSize(400, 300);
    runEvents();
    const int cx = viewer->GetClientSize().x;
    EXPECT_EQ(tree->GetColumnWidth(0), cx / 2 + 24) << cx;
    // GTK stretches the last column over the rest of the tree.
    EXPECT_GE(tree->GetColumnWidth(1), cx / 2 - 76) << cx;

    if (const char* seconds = std::getenv("ZEKO_CM_SHOW_SECONDS")) {
        viewers[1]->Close();
        viewer->SetSize(10, 10, 1000, 720);
        const wxTreeListItem ethCamera = tree->GetFirstChild(eth);
        tree->Expand(ethCamera);
        tree->Expand(tree->GetFirstChild(ethCamera));
        tree->Expand(tree->GetFirstChild(tree->GetFirstChild(ethCamera)));
        for (int i = 0; i < std::atoi(seconds) * 10; ++i) {
            runEvents();
            wxMilliSleep(100);
        }
    }
    for (ShowSupportFileDlg* v : viewers)
        v->Close();
    runEvents();
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    main->RemoveOpenViewer();
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    main->Destroy();
    runEvents();
}

TEST_F(SupportFileGuiTest, ForeignAndUnreadableFilesAreReportedAndOpenNoViewer) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    std::string header(60, '\0');
    const std::string version = "3.81.0.0";
    for (size_t i = 0; i < version.size(); ++i)
        header[2 * i] = version[i];
    for (char& c : header)
        c = char(c ^ 0x5E);
    const std::string path = dir_ + "/foreign.bin";
    std::ofstream(path, std::ios::binary) << header;
    OpenSupportFileAt(*main, win::fromUtf8(path));
    OpenSupportFileAt(*main, win::fromUtf8(dir_ + "/missing.bin"));
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    ASSERT_EQ(hook.messages.size(), 2u);
    EXPECT_EQ(hook.messages[0], "The support file was created with another version of Zeko Camera Manager.\n"
                                "Please use Zeko Camera Manager version 3.81.0.0 to open the file.");
    EXPECT_TRUE(
        hook.messages[1].StartsWith("The support file could not be opened.\n" + dir_ + "/missing.bin\n"));
    EXPECT_GT(hook.messages[1].size(), (dir_ + "/missing.bin").size() + 40);
    main->Destroy();
    runEvents();
}

} // namespace
