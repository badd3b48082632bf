#include "camera_manager/core/dialogs/AutomaticEthConfiguration.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/rules/EthConfigRules.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"

#include <wx/msgdlg.h>

AutomaticEthOutcome ConfigureEthAutomatically(const CameraEntry& entry) {
    const auto range = AdapterHostRange(entry.GetAdapterIpAddress(), entry.GetAdapterIpSubnetmask());
    if (!range)
        return {false, LoadResourceString(ids::RangeNotSet)};
    uint32_t autoCfg[3] = {range->begin, range->end, 100};
    int result = ZekoApi::zk_SetAutoCfgIpRange(entry.GetAdapterId(), autoCfg, sizeof autoCfg);
    if (result != 0)
        return {false, ErrorCodeMessage(ids::RangeNotSet, result)};
    uint32_t noAddress[3] = {0, 0, 0};
    result =
        ZekoApi::zk_SetPersistentIpCfg(entry.GetDeviceId() | ZK_USE_DEVICE_ID, noAddress, sizeof noAddress);
    if (result != 0)
        return {false, ErrorCodeMessage(ids::PersistentIpNotDeleted, result)};
    return {true, LoadResourceString(ids::AutoConfigDone)};
}

void RunAutomaticEthConfiguration(wxWindow* parent, const CameraEntry& entry) {
    const AutomaticEthOutcome outcome = ConfigureEthAutomatically(entry);
    wxMessageBox(ToWx(outcome.message), ResourceText(ids::AppTitle),
                 wxOK | (outcome.success ? wxICON_INFORMATION : wxICON_ERROR), parent);
}
