#include "pemblon/widgets/CheckTree.h"

#include <wx/dcmemory.h>
#include <wx/imagbmp.h>
#include <wx/log.h>

#include "pemblon/core/HelperFuncs.h"

namespace PBN {
namespace Widgets {

namespace {

// Stands in for a check image that cannot be loaded, so that the image indices stay aligned.
wxBitmap placeholder(int state) {
    wxBitmap bitmap(16, 16, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(*wxGREY_PEN);
    dc.SetBrush(state == CheckTreeItemData::PARTLY_CHECKED ? *wxGREY_BRUSH : *wxWHITE_BRUSH);
    dc.DrawRectangle(1, 1, 14, 14);
    if (state == CheckTreeItemData::CHECKED) {
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawLine(4, 8, 7, 11);
        dc.DrawLine(7, 11, 12, 4);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

} // namespace

CheckTree::CheckTree() : _checkEnabled(false), _imageList(nullptr) {}

CheckTree::CheckTree(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                     const long& style, const wxValidator& validator, const wxString& name)
    : wxTreeCtrl(parent, id, pos, size, style, validator, name), _checkEnabled(false), _imageList(nullptr) {
    setUp();
}

bool CheckTree::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                       const wxValidator& validator, const wxString& name) {
    if (!wxTreeCtrl::Create(parent, id, pos, size, style, validator, name)) {
        return false;
    }
    setUp();
    return true;
}

void CheckTree::setUp() {
    _checkEnabled = false;
    if (wxImage::FindHandler(wxBITMAP_TYPE_ICO) == nullptr) {
        wxImage::AddHandler(new wxICOHandler());
    }
    const Strings::ostring dir = HelperFuncs::getAppDir() + "res" + HelperFuncs::getDirSep();
    _imageList = new wxImageList(16, 16, true, 1);
    for (int state = 0; state < 3; ++state) {
        wxBitmap icon;
        {
            wxLogNull quiet; // a missing image is not reported
            icon.LoadFile(dir.wxstr() + wxString::Format("checkbox-%d.ico", state), wxBITMAP_TYPE_ICO);
        }
        _imageList->Add(icon.IsOk() ? icon : placeholder(state));
    }
    connect();
}

CheckTree::~CheckTree() {
    if (_imageList != nullptr) {
        SetImageList(nullptr); // the control must not keep pointing at the list
        delete _imageList;
        _imageList = nullptr;
        disconnect();
    }
}

void CheckTree::connect() {
    Bind(wxEVT_LEFT_DOWN, &CheckTree::onLeftUpOrDown, this);
    Bind(wxEVT_LEFT_UP, &CheckTree::onLeftUpOrDown, this);
}

void CheckTree::disconnect() {
    Unbind(wxEVT_LEFT_DOWN, &CheckTree::onLeftUpOrDown, this);
    Unbind(wxEVT_LEFT_UP, &CheckTree::onLeftUpOrDown, this);
}

void CheckTree::enableCheck() {
    _checkEnabled = true;
    SetImageList(_imageList);
    Update();
}

void CheckTree::disableCheck() {
    _checkEnabled = false;
    SetImageList(nullptr);
    Update();
}

CheckTreeItemData* CheckTree::checkData(const wxTreeItemId& item) const {
    return item.IsOk() ? dynamic_cast<CheckTreeItemData*>(GetItemData(item)) : nullptr;
}

CheckTree::CheckState CheckTree::getItemState(const wxTreeItemId& item) const {
    const CheckTreeItemData* data = checkData(item);
    return data != nullptr ? data->getState() : CheckTreeItemData::UNCHECKED;
}

std::optional<CheckTree::CheckState> CheckTree::combinedState(const std::vector<CheckState>& children) {
    bool seenChecked = false;
    bool seenUnchecked = false;
    for (CheckState state : children) {
        if (state == CheckTreeItemData::PARTLY_CHECKED) {
            return CheckTreeItemData::PARTLY_CHECKED;
        }
        (state == CheckTreeItemData::CHECKED ? seenChecked : seenUnchecked) = true;
        if (seenChecked && seenUnchecked) {
            return CheckTreeItemData::PARTLY_CHECKED;
        }
    }
    if (seenChecked) {
        return CheckTreeItemData::CHECKED;
    }
    if (seenUnchecked) {
        return CheckTreeItemData::UNCHECKED;
    }
    return std::nullopt;
}

void CheckTree::doCheck(const wxTreeItemId& item, const CheckState& state) {
    if (!_checkEnabled || !item.IsOk()) {
        return;
    }
    SetItemImage(item, state, wxTreeItemIcon_Normal);
    if (CheckTreeItemData* data = checkData(item)) {
        data->setState(state);
    }
}

void CheckTree::checkChildren(const wxTreeItemId& item, const CheckState& state) {
    if (!_checkEnabled || !item.IsOk()) {
        return;
    }
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(item, cookie); child.IsOk(); child = GetNextChild(item, cookie)) {
        doCheck(child, state);
        checkChildren(child, state);
    }
}

void CheckTree::checkItem(const wxTreeItemId& item, const CheckState& state) {
    doCheck(item, state);
    checkChildren(item, state);
    updateParent(item);
}

void CheckTree::updateParent(const wxTreeItemId& item) {
    if (!_checkEnabled || !item.IsOk()) {
        return;
    }
    const wxTreeItemId parent = GetItemParent(item);
    if (!parent.IsOk() || parent == GetRootItem()) {
        return;
    }
    std::vector<CheckState> states;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk();
         child = GetNextChild(parent, cookie)) {
        states.push_back(getItemState(child));
    }
    const std::optional<CheckState> state = combinedState(states);
    if (!state || *state == getItemState(parent)) {
        return; // climbs only while a state changes
    }
    doCheck(parent, *state);
    updateParent(parent);
}

void CheckTree::onLeftUpOrDown(wxMouseEvent& event) {
    // The generic tree delivers both the press and the release: toggling on both would undo
    // every click, so only the press toggles.
    if (_checkEnabled && event.GetEventType() == wxEVT_LEFT_DOWN) {
        int flags = 0;
        const wxTreeItemId item = HitTest(event.GetPosition(), flags);
        if (item.IsOk() && (flags & wxTREE_HITTEST_ONITEMICON) != 0 && checkData(item) != nullptr) {
            checkItem(item, getItemState(item) == CheckTreeItemData::CHECKED ? CheckTreeItemData::UNCHECKED
                                                                             : CheckTreeItemData::CHECKED);
        }
    }
    event.Skip();
}

std::vector<wxTreeItemId> CheckTree::getCheckedItems(const wxTreeItemId& item) const {
    std::vector<wxTreeItemId> result;
    const wxTreeItemId start = item.IsOk() ? item : GetRootItem();
    if (!start.IsOk()) {
        return result;
    }
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(start, cookie); child.IsOk();
         child = GetNextChild(start, cookie)) {
        if (const CheckTreeItemData* data = checkData(child);
            data != nullptr && data->getState() == CheckTreeItemData::CHECKED) {
            result.push_back(child);
        }
        const std::vector<wxTreeItemId> below = getCheckedItems(child);
        result.insert(result.end(), below.begin(), below.end());
    }
    return result;
}

} // namespace Widgets
} // namespace PBN
