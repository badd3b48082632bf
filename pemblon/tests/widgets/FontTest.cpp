#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/clrpicker.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/fontenum.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/translation.h>

#include "WidgetsTestSupport.h"
#include "pemblon/widgets/FontCombo.h"
#include "pemblon/widgets/FontDialog.h"
#include "pemblon/widgets/FontSizeCombo.h"
#include "pemblon/widgets/OFont.h"

using PBN::Widgets::FontCombo;
using PBN::Widgets::FontDialog;
using PBN::Widgets::FontSizeCombo;
using PBN::Widgets::OFont;
using WidgetsTest::pump;

namespace {

struct Frame {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "fonts", wxPoint(30, 30), wxSize(400, 200));
    ~Frame() {
        frame->Destroy();
        pump(20);
    }
};

void wheel(wxWindow* target, int rotation) {
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.m_wheelRotation = rotation;
    event.m_wheelDelta = 120;
    event.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(event);
}

} // namespace

TEST(OFontValues, DefaultsEqualityAndCopies) {
    OFont a, b;
    EXPECT_EQ(a.GetPointSize(), 10);
    EXPECT_EQ(a.GetWeight(), wxFONTWEIGHT_NORMAL);
    EXPECT_EQ(a.GetStyle(), wxFONTSTYLE_NORMAL);
    EXPECT_FALSE(a.GetUnderlined());
    EXPECT_EQ(a.getColor(), wxColour(0, 0, 0, 255));
    EXPECT_EQ(a.getBgColor(), wxColour(255, 255, 255, 255));
    EXPECT_TRUE(a == b);
    b.setBgColor(*wxRED);
    EXPECT_TRUE(a != b);
    a = b;
    EXPECT_TRUE(a == b);
    a = a;
    EXPECT_EQ(a.getBgColor(), *wxRED);
    const OFont fromFont(*wxITALIC_FONT, *wxBLUE);
    EXPECT_EQ(fromFont.GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_EQ(fromFont.getColor(), *wxBLUE);
    EXPECT_EQ(fromFont.getBgColor(), *wxWHITE);
}

TEST(FontSizeComboValues, ListedAndTypedSizes) {
    Frame f;
    FontSizeCombo combo(f.frame, 1001);
    ASSERT_EQ(combo.GetCount(), 16u);
    EXPECT_EQ(combo.GetString(15), "72");
    combo.setSize(14);
    EXPECT_EQ(combo.GetStringSelection(), "14");
    EXPECT_EQ(combo.getSize(), 14);
    combo.setSize(13);
    EXPECT_EQ(combo.GetValue(), "13");
    EXPECT_EQ(combo.GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(combo.getSize(), 13);
    combo.SetValue("big");
    EXPECT_EQ(combo.getSize(), -1);
    EXPECT_EQ(FontSizeCombo::parseSize("99999999999"), -1);
}

TEST(FontComboValues, FacesWheelAndUnknownNames) {
    Frame f;
    auto* combo = new FontCombo(f.frame, 1000);
    const wxArrayString faces = wxFontEnumerator::GetFacenames();
    ASSERT_GE(faces.size(), 2u) << "the tests need two font faces";
    ASSERT_EQ(combo->GetCount(), faces.size());
    ASSERT_TRUE(WidgetsTest::showAndWait(f.frame, combo));
    int selections = 0;
    combo->Bind(wxEVT_COMBOBOX, [&selections](wxCommandEvent& e) {
        ++selections;
        e.Skip();
    });

    wheel(combo, -120); // down with nothing selected
    EXPECT_EQ(combo->GetSelection(), 0);
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(combo->getFont(), faces[0]);
    wheel(combo, 120); // up on the first face: kept, still reported
    EXPECT_EQ(combo->GetSelection(), 0);
    EXPECT_EQ(selections, 2);
    wheel(combo, -60); // below the wheel delta
    EXPECT_EQ(combo->GetSelection(), 0);
    EXPECT_EQ(selections, 2);
    wheel(combo->GetTextCtrl(), -120); // where GTK delivers it
    EXPECT_EQ(combo->GetSelection(), 1);

    combo->setFont(faces[0]);
    EXPECT_EQ(combo->GetSelection(), 0);
    combo->setFont("NoSuchFace");
    EXPECT_EQ(combo->GetValue(), "NoSuchFace");
    EXPECT_EQ(combo->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(combo->getFont(), "NoSuchFace");

    WidgetsTest::snapshot("fontcombo");
}

TEST(FontDialogEditing, EditsACopyAndPreviewsIt) {
    OFont original;
    original.setBgColor(wxColour(1, 2, 3));
    FontDialog dialog(nullptr, original);
    EXPECT_EQ(dialog.GetTitle(), "Format");
    EXPECT_TRUE(dialog.getFont() == original);
    auto* face = dynamic_cast<FontCombo*>(dialog.FindWindow(FontDialog::ID_FONT));
    auto* size = dynamic_cast<FontSizeCombo*>(dialog.FindWindow(FontDialog::ID_SIZE));
    auto* bold = dynamic_cast<wxCheckBox*>(dialog.FindWindow(FontDialog::ID_BOLD));
    auto* italic = dynamic_cast<wxCheckBox*>(dialog.FindWindow(FontDialog::ID_ITALIC));
    auto* underline = dynamic_cast<wxCheckBox*>(dialog.FindWindow(FontDialog::ID_UNDERLINE));
    auto* picker = dynamic_cast<wxColourPickerCtrl*>(dialog.FindWindow(FontDialog::ID_COLOR));
    ASSERT_TRUE(face && size && bold && italic && underline && picker);
    EXPECT_EQ(size->GetStringSelection(), "10");
    EXPECT_FALSE(bold->GetValue());

    auto click = [](wxCheckBox* box) {
        box->SetValue(!box->GetValue());
        wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
        event.SetInt(box->GetValue());
        event.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(event);
    };
    click(bold);
    click(italic);
    click(underline);
    size->SetSelection(size->FindString("14"));
    wxCommandEvent sized(wxEVT_COMBOBOX, FontDialog::ID_SIZE);
    size->GetEventHandler()->ProcessEvent(sized);
    wheel(face, -120); // the wheel's selection event carries no string
    picker->SetColour(*wxRED);
    wxColourPickerEvent coloured(picker, FontDialog::ID_COLOR, *wxRED);
    picker->GetEventHandler()->ProcessEvent(coloured);

    const OFont edited = dialog.getFont();
    EXPECT_EQ(edited.GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(edited.GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_TRUE(edited.GetUnderlined());
    EXPECT_EQ(edited.GetPointSize(), 14);
    EXPECT_EQ(edited.GetFaceName(), face->GetString(0));
    EXPECT_FALSE(edited.GetFaceName().empty());
    EXPECT_EQ(edited.getColor(), *wxRED);
    EXPECT_EQ(edited.getBgColor(), wxColour(1, 2, 3));
    EXPECT_EQ(original.GetWeight(), wxFONTWEIGHT_NORMAL); // the caller's font is untouched
    EXPECT_EQ(original.getColor(), *wxBLACK);
    click(bold);
    EXPECT_EQ(dialog.getFont().GetWeight(), wxFONTWEIGHT_NORMAL);

    dialog.Show();
    WidgetsTest::pump(200);
    WidgetsTest::snapshot("fontdialog");
    dialog.Hide();
}

// A plain font opens the dialog with room for its preview in bold italic (at 14 points the lines
// are wider than the dialog's first size), so ticking Bold and Italic does not grow it. With both
// ticked the preview's lines show whole: none wraps, none is cut off, at every size whose lines
// fit the screen; larger sizes keep the dialog on the screen.
TEST(FontDialogEditing, PreviewShowsItsLinesWholeInTheWidestStyle) {
    OFont plain;
    plain.SetPointSize(14);
    FontDialog dialog(nullptr, plain);
    auto* size = dynamic_cast<FontSizeCombo*>(dialog.FindWindow(FontDialog::ID_SIZE));
    auto* preview = dynamic_cast<wxStaticText*>(
        dialog.FindWindowByLabel("The quick brown fox jumps over the lazy dog.\nABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                                 "abcdefghijklmnopqrstuvwxyz\n0123456789"));
    ASSERT_TRUE(size && preview);
    dialog.Show();
    pump(100);
    {
        wxFont boldItalic = dialog.getFont();
        boldItalic.SetWeight(wxFONTWEIGHT_BOLD);
        boldItalic.SetStyle(wxFONTSTYLE_ITALIC);
        wxCoord width = 0, height = 0;
        wxClientDC dc(preview);
        dc.SetFont(boldItalic);
        dc.GetMultiLineTextExtent(preview->GetLabel(), &width, &height);
        EXPECT_GE(preview->GetSize().GetWidth(), width);
        EXPECT_GE(preview->GetSize().GetHeight(), height);
    }
    const wxSize opened = dialog.GetSize();
    for (int id : {FontDialog::ID_BOLD, FontDialog::ID_ITALIC}) {
        auto* box = dynamic_cast<wxCheckBox*>(dialog.FindWindow(id));
        box->SetValue(true);
        wxCommandEvent event(wxEVT_CHECKBOX, id);
        event.SetInt(1);
        event.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(event);
    }
    pump(50);
    EXPECT_EQ(dialog.GetSize().GetWidth(), opened.GetWidth());
    EXPECT_EQ(dialog.GetSize().GetHeight(), opened.GetHeight());
    const wxRect screen = wxDisplay(0U).GetClientArea();
    for (unsigned int i = 0; i < size->GetCount(); ++i) {
        size->SetSelection(static_cast<int>(i));
        wxCommandEvent sized(wxEVT_COMBOBOX, FontDialog::ID_SIZE);
        size->GetEventHandler()->ProcessEvent(sized);
        pump(50);
        const wxFont font = dialog.getFont();
        ASSERT_EQ(font.GetWeight(), wxFONTWEIGHT_BOLD);
        ASSERT_EQ(font.GetStyle(), wxFONTSTYLE_ITALIC);
        wxCoord width = 0, height = 0;
        wxClientDC dc(preview);
        dc.SetFont(font);
        dc.GetMultiLineTextExtent(preview->GetLabel(), &width, &height);
        EXPECT_TRUE(screen.Contains(dialog.GetScreenRect())) << size->GetString(i);
        if (size->GetString(i) == "72") {
            WidgetsTest::snapshot("fontdialog_bold_italic_72");
        }
        if (width + 100 > screen.GetWidth()) {
            continue; // wider than the screen: no dialog can show it whole
        }
        const wxRect shown = preview->GetRect();
        EXPECT_GE(shown.GetWidth(), width) << size->GetString(i);
        EXPECT_GE(shown.GetHeight(), height) << size->GetString(i);
        // Inside its group box, which is inside the dialog: nothing of it is cut off.
        const wxSize room = preview->GetParent()->GetClientSize();
        EXPECT_LE(shown.GetRight(), room.GetWidth()) << size->GetString(i);
        EXPECT_LE(shown.GetBottom(), room.GetHeight()) << size->GetString(i);
        EXPECT_TRUE(
            wxRect(dialog.GetClientSize())
                .Contains(dialog.ScreenToClient(preview->GetParent()->GetScreenRect().GetBottomRight())))
            << size->GetString(i);
        if (size->GetString(i) == "10" || size->GetString(i) == "28") {
            WidgetsTest::snapshot(("fontdialog_bold_italic_" + size->GetString(i)).c_str());
        }
    }
    dialog.Hide();
}

// The face field shows the chosen face's name whole, whatever the size.
TEST(FontDialogEditing, FaceFieldShowsTheWholeName) {
    const wxArrayString faces = wxFontEnumerator::GetFacenames();
    ASSERT_FALSE(faces.empty());
    const wxString name = faces.Index("DejaVu Sans") != wxNOT_FOUND ? wxString("DejaVu Sans") : faces[0];
    for (int points : {8, 10, 14, 28}) {
        OFont font;
        font.SetFaceName(name);
        font.SetPointSize(points);
        FontDialog dialog(nullptr, font);
        auto* face = dynamic_cast<FontCombo*>(dialog.FindWindow(FontDialog::ID_FONT));
        ASSERT_TRUE(face && face->GetTextCtrl());
        dialog.Show();
        pump(100);
        wxTextCtrl* text = face->GetTextCtrl();
        ASSERT_FALSE(text->GetValue().empty());
        const wxSize needed = text->GetSizeFromTextSize(text->GetTextExtent(text->GetValue()).x);
        EXPECT_GE(text->GetSize().x, needed.x)
            << text->GetValue() << " at " << points << " points, field " << text->GetSize().x;
        if (points == 14) {
            WidgetsTest::snapshot("fontdialog-face");
        }
        dialog.Hide();
    }
}

TEST(FontDialogEditing, TextsComeFromTheLibraryCatalogue) {
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(PBN_CATALOGUE_DIR);
    auto* french = new wxTranslations();
    french->SetLanguage(wxLANGUAGE_FRENCH);
    ASSERT_TRUE(french->AddCatalog("Pemblon"));
    wxTranslations::Set(french);
    {
        FontDialog dialog(nullptr, OFont());
        EXPECT_EQ(dialog.GetTitle(), "Format"); // the title is not translated
        auto* bold = dynamic_cast<wxCheckBox*>(dialog.FindWindow(FontDialog::ID_BOLD));
        ASSERT_NE(bold, nullptr);
        EXPECT_EQ(bold->GetLabel(), "Gras");
        dialog.Show();
        WidgetsTest::pump(200);
        WidgetsTest::snapshot("fontdialog_fr");
        dialog.Hide();
    }
    wxTranslations::Set(nullptr);
}
