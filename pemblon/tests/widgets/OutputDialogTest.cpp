#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/modalhook.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/translation.h>

#include "WidgetsTestSupport.h"
#include "pemblon/tests/support/AnsweredDialogs.h"
#include "pemblon/widgets/OutputDialog.h"

using PBN::Strings::ostring;
using PBN::Widgets::OutputDialog;

namespace {

wxTextCtrl* textBox(OutputDialog& dialog) {
    return dynamic_cast<wxTextCtrl*>(dialog.FindWindow(2));
}

wxColour colourAt(wxTextCtrl* box, long position) {
    wxTextAttr style;
    box->GetStyle(position, style);
    return style.GetTextColour();
}

} // namespace

TEST(OutputDialogContent, DefaultDialogIsEmpty) {
    OutputDialog dialog;
    EXPECT_EQ(dialog.GetTitle(), "Output");
    auto* label = dynamic_cast<wxStaticText*>(dialog.FindWindow(1));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetLabel(), "");
    ASSERT_NE(textBox(dialog), nullptr);
    EXPECT_EQ(textBox(dialog)->GetValue(), "");
    EXPECT_EQ(dialog.GetSize(), wxSize(525, 347));
    auto* close = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_OK));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->GetLabel(), "Close");
}

TEST(OutputDialogContent, TextsComeFromTheLibraryCatalogue) {
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(PBN_CATALOGUE_DIR);
    auto* french = new wxTranslations();
    french->SetLanguage(wxLANGUAGE_FRENCH);
    ASSERT_TRUE(french->AddCatalog("Pemblon"));
    wxTranslations::Set(french);
    {
        OutputDialog dialog;
        EXPECT_EQ(dialog.GetTitle(), "Sortie");
        EXPECT_EQ(dialog.FindWindow(wxID_OK)->GetLabel(), "Fermer");
    }
    wxTranslations::Set(nullptr);
}

TEST(OutputDialogContent, LinesKeepTheirTextAndColour) {
    OutputDialog dialog(ostring("first\nsecond\n"), ostring("Result of the run"), ostring("Run"), nullptr);
    wxTextCtrl* box = textBox(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetNumberOfLines(), 3);
    EXPECT_EQ(box->GetLineText(1), "second");
    EXPECT_TRUE(box->IsMultiLine());
    EXPECT_FALSE(box->IsEditable());
    EXPECT_EQ(box->GetDefaultStyle().GetFont().GetFamily(), wxFONTFAMILY_TELETYPE);
    EXPECT_EQ(box->GetDefaultStyle().GetFont().GetPointSize(), 8);

    dialog.setErrorColour(*wxRED);
    dialog.error(ostring("failed"));
    dialog.output(ostring(" then done"));
    // no separator added
    EXPECT_TRUE(WidgetsTest::pumpUntil([&] { return box->GetValue() == "first\nsecond\nfailed then done"; }))
        << box->GetValue();
    EXPECT_EQ(colourAt(box, 15), *wxRED);
    EXPECT_EQ(colourAt(box, 0), *wxBLACK);
    EXPECT_EQ(colourAt(box, box->GetLastPosition() - 1), *wxBLACK);

    dialog.Show();
    WidgetsTest::pump(200);
    WidgetsTest::snapshot("outputdialog");
    dialog.Hide();
}

// Threads that post lines faster than the text box takes them one at a time leave the event
// loop turning: a timer of the GUI thread ticks while they post, and every line arrives in order,
// in its colour.
TEST(OutputDialogContent, AFloodOfLinesFromThreadsLeavesTheWindowAnswering) {
    OutputDialog dialog(ostring(""), ostring("flood"), ostring("Flood"), nullptr);
    dialog.setErrorColour(*wxRED);
    wxTextCtrl* box = textBox(dialog);
    ASSERT_TRUE(WidgetsTest::showAndWait(&dialog, box));
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&ticks](wxTimerEvent&) { ++ticks; });
    timer.Start(20);

    // Four threads, 2,500 lines a second each, until told to stop or for 20 s at the most.
    constexpr int kThreads = 4;
    std::atomic<bool> stop{false};
    std::atomic<int> running{kThreads};
    std::vector<int> posted(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const auto start = std::chrono::steady_clock::now();
            for (int n = 0; !stop && std::chrono::steady_clock::now() - start < std::chrono::seconds(20);
                 ++n) {
                const ostring line(
                    ("thread " + std::to_string(t) + " line " + std::to_string(n) + "\n").c_str());
                if (t == 0)
                    dialog.CallAfter(&OutputDialog::error, line);
                else
                    dialog.CallAfter(&OutputDialog::output, line);
                posted[t] = n + 1;
                std::this_thread::sleep_until(start + std::chrono::microseconds(400) * (n + 1));
            }
            --running;
        });
    }
    const bool answered = WidgetsTest::pumpUntil([&] { return ticks >= 10; }, 30000);
    const bool floodRan = running == kThreads;
    stop = true;
    for (std::thread& thread : threads)
        thread.join();
    timer.Stop();
    EXPECT_TRUE(answered && floodRan) << ticks << " ticks; the flood had ended: " << !floodRan;

    int total = 0;
    for (int n : posted)
        total += n;
    ASSERT_TRUE(WidgetsTest::pumpUntil([&] { return box->GetNumberOfLines() == total + 1; }))
        << box->GetNumberOfLines() << " of " << total + 1;
    // Each thread's lines in the order posted, thread 0's in the error colour.
    std::vector<int> next(kThreads, 0);
    bool ordered = true;
    for (int i = 0; i < total && ordered; ++i) {
        const wxString text = box->GetLineText(i);
        int t = -1, n = -1;
        ordered = sscanf(text.utf8_str(), "thread %d line %d", &t, &n) == 2 && t >= 0 && t < kThreads &&
                  n == next[t]++;
        if (ordered && (i % 997 == 0)) {
            EXPECT_EQ(colourAt(box, box->XYToPosition(0, i)), t == 0 ? *wxRED : *wxBLACK) << text;
        }
    }
    EXPECT_TRUE(ordered);
    dialog.Hide();
}

TEST(OutputDialogContent, CloseEndsTheModalLoopWithOk) {
    wxFrame* top = new wxFrame(nullptr, wxID_ANY, "top");
    wxTheApp->SetTopWindow(top);
    wxWindow* parent = nullptr;
    AnsweredDialogs hook(true);
    hook.answer = [&parent](wxDialog* dialog) {
        parent = dialog->GetParent();
        dialog->CallAfter([dialog] {
            wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
            click.SetEventObject(dialog->FindWindow(wxID_OK));
            dialog->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(click);
        });
        return int(wxID_NONE); // let the dialog run
    };
    {
        OutputDialog dialog(ostring("x"), ostring("m"), ostring("t"), nullptr);
        EXPECT_EQ(dialog.GetParent(), static_cast<wxWindow*>(top));
        EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    }
    wxTheApp->SetTopWindow(nullptr);
    top->Destroy();
    WidgetsTest::pump(20);
}
