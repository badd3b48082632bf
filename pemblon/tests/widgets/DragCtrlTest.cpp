#include <gtest/gtest.h>

#include <memory>

#include <wx/frame.h>
#include <wx/uiaction.h>

#include "WidgetsTestSupport.h"
#include "pemblon/widgets/wxDragListCtrl.h"
#include "pemblon/widgets/wxDragTreeCtrl.h"

using PBN::Widgets::wxDragListCtrl;
using PBN::Widgets::wxDragTreeCtrl;
using WidgetsTest::pointerButton;
using WidgetsTest::pointerTo;
using WidgetsTest::pump;

namespace {

class TestTree : public wxDragTreeCtrl {
public:
    using wxDragTreeCtrl::dragCursor;
    using wxDragTreeCtrl::wxDragTreeCtrl;
};

class TestList : public wxDragListCtrl {
public:
    using wxDragListCtrl::dragCursor;
    using wxDragListCtrl::wxDragListCtrl;
};

// Moves the pointer in small steps, as a hand does, waiting longer than the scroll timer.
void glide(const wxPoint& from, const wxPoint& to, int steps = 4) {
    for (int i = 1; i <= steps; ++i) {
        pointerTo(from + wxPoint((to.x - from.x) * i / steps, (to.y - from.y) * i / steps));
        pump(120);
    }
}

struct TreeFixture {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "drag tree", wxPoint(50, 50), wxSize(300, 300));
    TestTree* tree = new TestTree(frame, wxID_ANY);
    wxTreeItemId root, a, a1, a2, b, c, c1;
    TreeFixture() {
        root = tree->AddRoot("root");
        a = tree->AppendItem(root, "A branch");
        a1 = tree->AppendItem(a, "a1");
        a2 = tree->AppendItem(a, "a2");
        b = tree->AppendItem(root, "B leaf");
        c = tree->AppendItem(root, "C branch");
        c1 = tree->AppendItem(c, "c1");
        tree->Expand(root);
        tree->Expand(c);
    }
    ~TreeFixture() {
        frame->Destroy();
        pump(20);
    }
    wxPoint labelOf(const wxTreeItemId& item) const {
        wxRect rect;
        tree->GetBoundingRect(item, rect, true);
        return tree->ClientToScreen(rect.GetPosition() + wxPoint(8, rect.GetHeight() / 2));
    }
    wxPoint buttonOf(const wxTreeItemId& item) const {
        wxRect rect;
        tree->GetBoundingRect(item, rect, false);
        for (int x = 0; x < rect.GetRight(); ++x) {
            int flags = 0;
            const wxPoint point(x, rect.GetTop() + rect.GetHeight() / 2);
            if (tree->HitTest(point, flags) == item && (flags & wxTREE_HITTEST_ONITEMBUTTON)) {
                return tree->ClientToScreen(point + wxPoint(2, 0));
            }
        }
        return wxDefaultPosition;
    }
};

} // namespace

TEST(DragControlsClasses, CreatedByNameAndNavigated) {
    std::unique_ptr<wxObject> tree(wxCreateDynamicObject("wxDragTreeCtrl"));
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->IsKindOf(wxCLASSINFO(wxTreeCtrl)));
    std::unique_ptr<wxObject> list(wxCreateDynamicObject("wxDragListCtrl"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsKindOf(wxCLASSINFO(wxListCtrl)));

    TreeFixture f;
    EXPECT_EQ(f.tree->GetPreviousItem(f.root), f.root);
    EXPECT_EQ(f.tree->GetPreviousItem(f.a), f.root);
    EXPECT_EQ(f.tree->GetPreviousItem(f.b), f.a); // A is collapsed
    f.tree->Expand(f.a);
    EXPECT_EQ(f.tree->GetPreviousItem(f.b), f.a2);
    EXPECT_EQ(f.tree->GetPreviousItem(f.c1), f.c);
    EXPECT_EQ(f.tree->GetLastExpandedChild(f.root), f.c1);
    EXPECT_EQ(f.tree->scrollTimer(), 100u);
    EXPECT_EQ(f.tree->expandWhileDraggingTimer(), 1000u);
    EXPECT_TRUE(f.tree->expandOnLeftDClick());
}

TEST(DragTree, DragShowsTheCursorOpensBranchesAndMovesNothing) {
    TreeFixture f;
    // Long enough that a glide across the tree on a loaded machine ends before the branch opens.
    f.tree->expandWhileDraggingTimer(1000);
    ASSERT_TRUE(WidgetsTest::showAndWait(f.frame, f.tree));
    int ends = 0;
    f.tree->Bind(wxEVT_TREE_END_DRAG, [&ends](wxTreeEvent& e) {
        ++ends;
        e.Skip();
    });
    const wxPoint start = f.labelOf(f.b);
    pointerTo(start);
    pointerButton(true);
    glide(start, start + wxPoint(12, 3));
    ASSERT_TRUE(f.tree->isDragging());
    EXPECT_EQ(f.tree->GetLastDraggedItem(), f.b);
    glide(start + wxPoint(12, 3), start + wxPoint(4, 0), 2); // onto itself
    EXPECT_EQ(f.tree->dragCursor(), wxCURSOR_NO_ENTRY);

    const wxPoint branch = f.labelOf(f.a);
    glide(start, branch, 3);
    EXPECT_EQ(f.tree->dragCursor(), wxCURSOR_ARROW);
    EXPECT_FALSE(f.tree->IsExpanded(f.a));
    EXPECT_TRUE(WidgetsTest::pumpUntil([&] { return f.tree->IsExpanded(f.a); }, 4000)); // resting opens it
    WidgetsTest::snapshot("dragtree");

    pointerButton(false);
    pump(100);
    EXPECT_FALSE(f.tree->isDragging());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(f.tree->GetLastDraggedItem(), f.b);
    EXPECT_EQ(f.tree->GetItemText(f.tree->GetPrevSibling(f.c)), "B leaf"); // nothing moved
    EXPECT_EQ(f.tree->GetChildrenCount(f.root, false), 3u);

    // Allowed in place: the arrow on the item itself.
    f.tree->allowDragInPlace(true);
    const wxPoint again = f.labelOf(f.b);
    pointerTo(again);
    pointerButton(true);
    glide(again, again + wxPoint(12, 3));
    glide(again + wxPoint(12, 3), again + wxPoint(4, 0), 2);
    EXPECT_EQ(f.tree->dragCursor(), wxCURSOR_ARROW);
    pointerButton(false);
    pump(100);
}

TEST(DragTree, DoubleClickGuardKeepsBranchesAsTheyWere) {
    TreeFixture f;
    f.tree->expandOnLeftDClick(false);
    ASSERT_TRUE(WidgetsTest::showAndWait(f.frame, f.tree));
    wxUIActionSimulator sim;
    pointerTo(f.labelOf(f.c));
    sim.MouseDblClick();
    pump(200);
    EXPECT_TRUE(f.tree->IsExpanded(f.c));
    pointerTo(f.labelOf(f.a));
    sim.MouseDblClick();
    pump(200);
    EXPECT_FALSE(f.tree->IsExpanded(f.a));

    // A double click on a leaf keeps nothing back: the next button click still opens a branch.
    pointerTo(f.labelOf(f.b));
    sim.MouseDblClick();
    pump(200);
    const wxPoint button = f.buttonOf(f.a);
    ASSERT_NE(button, wxDefaultPosition);
    pointerTo(button);
    sim.MouseClick();
    pump(200);
    EXPECT_TRUE(f.tree->IsExpanded(f.a));
}

TEST(DragList, DragOutsideRefusesAndTheDropMovesNothing) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "drag list", wxPoint(60, 60), wxSize(260, 200));
    auto* list = new TestList(frame, wxID_ANY, wxPoint(0, 0), wxSize(200, 150), wxLC_REPORT);
    list->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, 180);
    for (int i = 0; i < 40; ++i) {
        list->InsertItem(i, wxString::Format("item %d", i));
    }
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, list));
    wxRect row;
    ASSERT_TRUE(list->GetItemRect(1, row));
    ASSERT_NE(list->rowsWindow(), nullptr);
    const wxPoint start = list->ClientToScreen(wxPoint(30, row.GetTop() + row.GetHeight() / 2));
    pointerTo(start);
    pointerButton(true);
    glide(start, start + wxPoint(10, 2), 6);
    ASSERT_TRUE(list->isDragging());
    EXPECT_EQ(list->GetLastDraggedItem(), 1);
    EXPECT_EQ(list->dragCursor(), wxCURSOR_NO_ENTRY); // over itself

    const long top = list->GetTopItem();
    glide(start + wxPoint(10, 2), start + wxPoint(400, 2), 3); // outside the list
    EXPECT_EQ(list->dragCursor(), wxCURSOR_NO_ENTRY);
    EXPECT_EQ(list->GetTopItem(), top);
    glide(start + wxPoint(400, 2), start + wxPoint(10, row.GetHeight() * 2), 3);
    EXPECT_EQ(list->dragCursor(), wxCURSOR_ARROW);
    WidgetsTest::snapshot("draglist");

    pointerTo(start + wxPoint(400, 2));
    pointerButton(false); // released outside: the capture still brings it here
    pump(100);
    EXPECT_FALSE(list->isDragging());
    EXPECT_EQ(list->GetLastDraggedItem(), 1);
    EXPECT_EQ(list->GetItemText(1), "item 1");
    EXPECT_EQ(list->GetItemCount(), 40);
    frame->Destroy();
    pump(20);
}

// After a scroll the list pauses for the scroll timer: movements within it change nothing (the
// drag image and the cursor wait too); the next movement after it is handled again.
TEST(DragList, MovementsWithinThePauseAfterAScrollChangeNothing) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "drag pause", wxPoint(60, 60), wxSize(260, 200));
    auto* list = new TestList(frame, wxID_ANY, wxPoint(0, 0), wxSize(200, 150), wxLC_REPORT);
    list->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, 180);
    for (int i = 0; i < 40; ++i) {
        list->InsertItem(i, wxString::Format("item %d", i));
    }
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, list));
    list->scrollTimer(1500);
    wxRect row;
    ASSERT_TRUE(list->GetItemRect(1, row));
    const wxPoint start = list->ClientToScreen(wxPoint(30, row.GetTop() + row.GetHeight() / 2));
    pointerTo(start);
    pointerButton(true);
    glide(start, start + wxPoint(10, 2), 6);
    ASSERT_TRUE(list->isDragging());

    // The partly shown row at the bottom scrolls into view.
    const long top = list->GetTopItem();
    const wxPoint bottom = list->ClientToScreen(wxPoint(40, list->GetClientSize().GetHeight() - 3));
    glide(start + wxPoint(10, 2), bottom, 3);
    ASSERT_NE(list->GetTopItem(), top);
    EXPECT_EQ(list->dragCursor(), wxCURSOR_ARROW);

    // Outside the list within the pause: no cursor change.
    pointerTo(bottom + wxPoint(400, 0));
    pump(100);
    EXPECT_EQ(list->dragCursor(), wxCURSOR_ARROW);
    // After it: handled again.
    pump(1600);
    glide(bottom + wxPoint(400, 0), bottom + wxPoint(420, 0), 2);
    EXPECT_EQ(list->dragCursor(), wxCURSOR_NO_ENTRY);

    pointerButton(false);
    pump(100);
    EXPECT_FALSE(list->isDragging());
    frame->Destroy();
    pump(20);
}
