#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/uiaction.h>

#include "WidgetsTestSupport.h"
#include "pemblon/widgets/CheckTree.h"

using PBN::Widgets::CheckTree;
using PBN::Widgets::CheckTreeItemData;
using State = CheckTreeItemData::CheckState;
using WidgetsTest::pump;

namespace {

class TestTree : public CheckTree {
public:
    using CheckTree::checkItem;
    using CheckTree::CheckTree;
};

// root > P > {A, B}, and root > Q > R > S (collapsed), every item with check data.
struct Fixture {
    wxFrame* frame;
    TestTree* tree;
    wxTreeItemId root, p, a, b, q, r, s, bare;
    explicit Fixture(bool twoStep = false) {
        frame = new wxFrame(nullptr, wxID_ANY, "check tree", wxPoint(40, 40), wxSize(300, 300));
        if (twoStep) {
            tree = new TestTree();
            tree->Create(frame, wxID_ANY);
        } else {
            tree = new TestTree(frame, wxID_ANY);
        }
        root = tree->AddRoot("root", -1, -1, new CheckTreeItemData());
        p = tree->AppendItem(root, "P", 0, -1, new CheckTreeItemData());
        a = tree->AppendItem(p, "A", 0, -1, new CheckTreeItemData());
        b = tree->AppendItem(p, "B", 0, -1, new CheckTreeItemData());
        q = tree->AppendItem(root, "Q", 0, -1, new CheckTreeItemData());
        r = tree->AppendItem(q, "R", 0, -1, new CheckTreeItemData());
        s = tree->AppendItem(r, "S", 0, -1, new CheckTreeItemData());
        bare = tree->AppendItem(root, "no data", 0);
        tree->Expand(root);
        tree->Expand(p);
    }
    ~Fixture() {
        frame->Destroy();
        pump(20);
    }
    // Presses and releases the left button over the item's check image (or its label).
    bool click(const wxTreeItemId& item, bool onImage) {
        wxRect row;
        if (!tree->GetBoundingRect(item, row, false)) {
            return false;
        }
        for (int x = row.GetLeft(); x <= row.GetRight(); ++x) {
            int flags = 0;
            const wxPoint point(x, row.GetTop() + row.GetHeight() / 2);
            if (tree->HitTest(point, flags) == item &&
                ((flags & (onImage ? wxTREE_HITTEST_ONITEMICON : wxTREE_HITTEST_ONITEMLABEL)) != 0)) {
                wxUIActionSimulator sim;
                sim.MouseMove(tree->ClientToScreen(point + wxPoint(onImage ? 3 : 6, 0)));
                pump(50);
                sim.MouseClick();
                pump(100);
                return true;
            }
        }
        return false;
    }
};

} // namespace

TEST(CheckTreeRules, ParentFollowsChildren) {
    using V = std::vector<State>;
    EXPECT_EQ(CheckTree::combinedState(V{State::CHECKED, State::CHECKED}), State::CHECKED);
    EXPECT_EQ(CheckTree::combinedState(V{State::UNCHECKED, State::UNCHECKED}), State::UNCHECKED);
    EXPECT_EQ(CheckTree::combinedState(V{State::CHECKED, State::UNCHECKED}), State::PARTLY_CHECKED);
    EXPECT_EQ(CheckTree::combinedState(V{State::UNCHECKED, State::CHECKED}), State::PARTLY_CHECKED);
    EXPECT_EQ(CheckTree::combinedState(V{State::CHECKED, State::PARTLY_CHECKED}), State::PARTLY_CHECKED);
    EXPECT_EQ(CheckTree::combinedState(V{}), std::nullopt);

    CheckTreeItemData data;
    EXPECT_EQ(data.getState(), State::UNCHECKED);
    data.setState(State::PARTLY_CHECKED);
    CheckTreeItemData copy(data);
    EXPECT_EQ(copy.getState(), State::PARTLY_CHECKED);
}

TEST(CheckTreeStates, ChecksPropagateDownAndUp) {
    Fixture f;
    f.tree->checkItem(f.a, State::CHECKED); // disabled: nothing happens
    EXPECT_EQ(f.tree->getItemState(f.a), State::UNCHECKED);
    f.tree->enableCheck();
    EXPECT_TRUE(f.tree->isCheckEnabled());
    f.tree->checkItem(f.a, State::CHECKED);
    EXPECT_EQ(f.tree->getItemState(f.p), State::PARTLY_CHECKED);
    f.tree->checkItem(f.b, State::CHECKED);
    EXPECT_EQ(f.tree->getItemState(f.p), State::CHECKED);
    EXPECT_EQ(f.tree->GetItemImage(f.p), State::CHECKED);
    f.tree->checkItem(f.a, State::UNCHECKED);
    EXPECT_EQ(f.tree->getItemState(f.p), State::PARTLY_CHECKED);
    f.tree->checkItem(f.b, State::UNCHECKED);
    EXPECT_EQ(f.tree->getItemState(f.p), State::UNCHECKED);
    EXPECT_EQ(f.tree->getItemState(f.root), State::UNCHECKED); // never recomputed

    f.tree->checkItem(f.q, State::CHECKED); // collapsed descendants too
    EXPECT_EQ(f.tree->getItemState(f.s), State::CHECKED);
    f.tree->checkItem(f.a, State::CHECKED);
    const std::vector<wxTreeItemId> checked = f.tree->getCheckedItems(wxTreeItemId());
    EXPECT_EQ(checked, (std::vector<wxTreeItemId>{f.a, f.q, f.r, f.s}));
    EXPECT_EQ(f.tree->getCheckedItems(f.q), (std::vector<wxTreeItemId>{f.r, f.s}));

    f.tree->disableCheck();
    EXPECT_EQ(f.tree->getItemState(f.q), State::CHECKED); // kept
    EXPECT_EQ(f.tree->GetImageList(), nullptr);
}

TEST(CheckTreeClicks, OneClickOnTheImageTogglesOnce) {
    Fixture f;
    f.tree->enableCheck();
    ASSERT_TRUE(WidgetsTest::showAndWait(f.frame, f.tree));
    ASSERT_TRUE(f.click(f.a, true));
    EXPECT_EQ(f.tree->getItemState(f.a), State::CHECKED);
    EXPECT_EQ(f.tree->getItemState(f.p), State::PARTLY_CHECKED);
    WidgetsTest::snapshot("checktree");

    ASSERT_TRUE(f.click(f.p, true)); // partly checked becomes checked, with its children
    EXPECT_EQ(f.tree->getItemState(f.p), State::CHECKED);
    EXPECT_EQ(f.tree->getItemState(f.b), State::CHECKED);
    ASSERT_TRUE(f.click(f.b, false)); // the label does nothing
    EXPECT_EQ(f.tree->getItemState(f.b), State::CHECKED);
    ASSERT_TRUE(f.click(f.bare, true)); // no data: nothing to toggle
    EXPECT_EQ(f.tree->getItemState(f.bare), State::UNCHECKED);

    f.tree->disableCheck();
    pump(50);
    wxRect row;
    ASSERT_TRUE(f.tree->GetBoundingRect(f.b, row, true));
    wxUIActionSimulator sim;
    sim.MouseMove(f.tree->ClientToScreen(wxPoint(row.GetLeft() - 8, row.GetTop() + row.GetHeight() / 2)));
    sim.MouseClick();
    pump(100);
    EXPECT_EQ(f.tree->getItemState(f.b), State::CHECKED);
}

TEST(CheckTreeClicks, TwoStepCreationWorksAlike) {
    Fixture f(true);
    f.tree->enableCheck();
    ASSERT_NE(f.tree->GetImageList(), nullptr);
    EXPECT_EQ(f.tree->GetImageList()->GetImageCount(), 3);
    EXPECT_TRUE(f.tree->GetImageList()->GetBitmap(1).IsOk());
    ASSERT_TRUE(WidgetsTest::showAndWait(f.frame, f.tree));
    ASSERT_TRUE(f.click(f.b, true));
    EXPECT_EQ(f.tree->getItemState(f.b), State::CHECKED);
}
