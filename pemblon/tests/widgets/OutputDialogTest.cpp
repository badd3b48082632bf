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

// Lines that threads post between two turns of the event loop go into the text box together:
// ten thousand lines of one colour and a last one of the other make a few changes of the text box,
// not one each (each change costs the box a style change and a layout, which at thousands of
// lines a second kept the event loop from ever turning). Every line arrives, in order and colour.
TEST(OutputDialogContent, AFloodOfLinesFromThreadsLeavesTheWindowAnswering) {
    OutputDialog dialog(ostring(""), ostring("flood"), ostring("Flood"), nullptr);
    dialog.setErrorColour(*wxRED);
    wxTextCtrl* box = textBox(dialog);
    ASSERT_TRUE(WidgetsTest::showAndWait(&dialog, box));
    WidgetsTest::pump(50);
    int changes = 0;
    box->Bind(wxEVT_TEXT, [&changes](wxCommandEvent&) { ++changes; });

    constexpr int kThreads = 4;
    constexpr int kLines = 2500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&dialog, t] {
            for (int n = 0; n < kLines; ++n)
                dialog.CallAfter(
                    &OutputDialog::output,
                    ostring(("thread " + std::to_string(t) + " line " + std::to_string(n) + "\n").c_str()));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    dialog.CallAfter(&OutputDialog::error, ostring("the end\n"));
    constexpr int total = kThreads * kLines + 1;
    ASSERT_TRUE(WidgetsTest::pumpUntil([&] { return box->GetNumberOfLines() == total + 1; }, 60000))
        << box->GetNumberOfLines() << " of " << total + 1;
    EXPECT_LE(changes, 10) << "one change of the text box for each line";

    std::vector<int> next(kThreads, 0);
    bool ordered = true;
    for (int i = 0; i + 1 < total && ordered; ++i) {
        int t = -1, n = -1;
        ordered = sscanf(box->GetLineText(i).utf8_str(), "thread %d line %d", &t, &n) == 2 && t >= 0 &&
                  t < kThreads && n == next[t]++;
    }
    EXPECT_TRUE(ordered);
    EXPECT_EQ(box->GetLineText(total - 1), "the end");
    EXPECT_EQ(colourAt(box, box->XYToPosition(0, total - 1)), *wxRED);
    EXPECT_EQ(colourAt(box, box->XYToPosition(0, total - 2)), *wxBLACK);
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
