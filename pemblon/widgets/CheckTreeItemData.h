#pragma once

#include <cstdint>

#include <wx/treebase.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// The check state of one check-tree item; the state is also the item's image index.
class PBN_API CheckTreeItemData : public wxTreeItemData {
public:
    enum CheckState : int32_t { UNCHECKED = 0, CHECKED = 1, PARTLY_CHECKED = 2 };

    CheckTreeItemData();
    CheckTreeItemData(const CheckTreeItemData& other);
    CheckTreeItemData& operator=(const CheckTreeItemData& other);
    ~CheckTreeItemData() override;

    CheckState getState() const { return _state; }
    void setState(const CheckState& state) { _state = state; }

private:
    CheckState _state;
};

} // namespace Widgets
} // namespace PBN
