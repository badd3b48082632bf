#pragma once

#include <optional>
#include <vector>

#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include "pemblon/core/Export.h"
#include "pemblon/widgets/CheckTreeItemData.h"

namespace PBN {
namespace Widgets {

// A tree whose items carry a three-state check box as their normal image. Clicking the image
// toggles the item; its descendants take the new state and its ancestors below the root follow
// their children. Items without CheckTreeItemData read as unchecked and cannot be toggled.
class PBN_API CheckTree : public wxTreeCtrl {
public:
    using CheckState = CheckTreeItemData::CheckState;

    CheckTree();
    CheckTree(wxWindow* parent, const int& id, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, const long& style = wxTR_DEFAULT_STYLE,
              const wxValidator& validator = wxDefaultValidator, const wxString& name = wxTreeCtrlNameStr);
    ~CheckTree() override;

    // Two-step creation: creates the window, loads the check images and connects the clicks.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTR_DEFAULT_STYLE,
                const wxValidator& validator = wxDefaultValidator, const wxString& name = wxTreeCtrlNameStr);

    void enableCheck();
    // Hides the check boxes; the stored states stay.
    void disableCheck();
    bool isCheckEnabled() const { return _checkEnabled; }

    CheckState getItemState(const wxTreeItemId& item) const;
    // The checked items below `item` (below the root when invalid), parents before children.
    std::vector<wxTreeItemId> getCheckedItems(const wxTreeItemId& item) const;

    // The state a parent takes from its children's states: partly checked when they differ or
    // one is partly checked; nothing for no children.
    static std::optional<CheckState> combinedState(const std::vector<CheckState>& children);

protected:
    void doCheck(const wxTreeItemId& item, const CheckState& state);
    void checkChildren(const wxTreeItemId& item, const CheckState& state);
    void checkItem(const wxTreeItemId& item, const CheckState& state);
    void updateParent(const wxTreeItemId& item);
    void onLeftUpOrDown(wxMouseEvent& event);
    void connect();
    void disconnect();

private:
    void setUp();
    CheckTreeItemData* checkData(const wxTreeItemId& item) const;

    bool _checkEnabled;
    wxImageList* _imageList;
};

} // namespace Widgets
} // namespace PBN
