#include "pemblon/widgets/CheckTreeItemData.h"

namespace PBN {
namespace Widgets {

CheckTreeItemData::CheckTreeItemData() : _state(UNCHECKED) {}

CheckTreeItemData::CheckTreeItemData(const CheckTreeItemData& other)
    : wxTreeItemData(), _state(other._state) {
    SetId(other.GetId());
}

CheckTreeItemData& CheckTreeItemData::operator=(const CheckTreeItemData& other) {
    _state = other._state;
    return *this;
}

CheckTreeItemData::~CheckTreeItemData() = default;

} // namespace Widgets
} // namespace PBN
