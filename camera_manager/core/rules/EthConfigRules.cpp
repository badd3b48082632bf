#include "camera_manager/core/rules/EthConfigRules.h"

#include "camera_manager/core/rules/Ipv4Text.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"

#include <algorithm>

namespace {

std::u16string ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

} // namespace

std::optional<IpRange> AdapterHostRange(std::u16string_view address, std::u16string_view mask) {
    const auto a = ParseIpv4(address);
    const auto m = ParseIpv4(mask);
    if (!a || !m || *a == 0 || *m == 0)
        return std::nullopt;
    // Computed in 64 bits: a /32 network has no host address and must not wrap into one.
    const uint64_t begin = uint64_t(*a & *m) + 1;
    const uint64_t end = uint64_t(*a | ~*m) - 1;
    if (begin > end)
        return std::nullopt;
    return IpRange{uint32_t(begin), uint32_t(end)};
}

uint32_t AddressProbeCount(const IpRange& range) {
    if (range.end < range.begin)
        return 0;
    const uint64_t count = uint64_t(range.end) - range.begin + 1;
    return count > maxAddressProbes ? maxAddressProbes : uint32_t(count);
}

RangeCheck CheckAutoCfgRange(uint32_t begin, uint32_t end, uint32_t mask) {
    if (end < begin)
        return RangeCheck::EndBelowBegin;
    if (begin == 0 && end == 0)
        return RangeCheck::Clear;
    const bool broadcast = (end & ~mask) == ~mask;
    const bool hostZero = (begin & ~mask) == 0;
    if (broadcast && hostZero)
        return RangeCheck::HostPartZeroAndEndBroadcast;
    if (broadcast)
        return RangeCheck::EndBroadcast;
    if (hostZero)
        return RangeCheck::HostPartZero;
    return RangeCheck::Send;
}

std::u16string RangeCheckMessage(RangeCheck check) {
    switch (check) {
    case RangeCheck::EndBelowBegin:
        return LoadResourceString(ids::RangeEndBelowBegin);
    case RangeCheck::HostPartZero:
        return LoadResourceString(ids::RangeBeginHostZero);
    case RangeCheck::EndBroadcast:
        return LoadResourceString(ids::RangeEndIsBroadcast);
    case RangeCheck::HostPartZeroAndEndBroadcast:
        return LoadResourceString(ids::RangeBeginHostZero) + u"\n" +
               LoadResourceString(ids::RangeEndIsBroadcast);
    case RangeCheck::Send:
    case RangeCheck::Clear:
        break;
    }
    return {};
}

bool RestoresRangeBegin(RangeCheck check) {
    return check == RangeCheck::EndBelowBegin || check == RangeCheck::HostPartZero ||
           check == RangeCheck::HostPartZeroAndEndBroadcast;
}

bool RestoresRangeEnd(RangeCheck check) {
    return check == RangeCheck::EndBelowBegin || check == RangeCheck::EndBroadcast ||
           check == RangeCheck::HostPartZeroAndEndBroadcast;
}

uint32_t LimitProbeTimeout(int entered) {
    const uint32_t t = static_cast<uint32_t>(entered);
    return t > 65536 ? 65536 : t;
}

int ReadIntegerText(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return 0;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return 0;
        // Beyond the int range the number saturates: it is limited further anyway.
        value = std::min<uint64_t>(value * 10 + uint64_t(text[i] - u'0'), uint64_t(INT32_MAX) + 1);
    }
    if (negative)
        return value > uint64_t(INT32_MAX) ? INT32_MIN : -static_cast<int>(value);
    return value > uint64_t(INT32_MAX) ? INT32_MAX : static_cast<int>(value);
}

std::u16string ErrorCodeMessage(unsigned textId, int code) {
    return LoadResourceString(textId) + u"\n" + LoadResourceString(ids::Errorcode) + u": " +
           ascii(std::to_string(code));
}

std::u16string FailedModificationsMessage(int cameraResult, int adapterResult) {
    if (cameraResult == 0 && adapterResult == 0)
        return {};
    std::u16string text = LoadResourceString(ids::ModificationsFailed) + u"\n\n";
    auto line = [&](unsigned id, int code) {
        text += LoadResourceString(id) + u"  (" + LoadResourceString(ids::Errorcode) + u" " +
                ascii(std::to_string(code)) + u")\n";
    };
    if (cameraResult != 0)
        line(ids::PersistentIpLine, cameraResult);
    if (adapterResult != 0)
        line(ids::AutoCfgRangeLine, adapterResult);
    return text;
}

unsigned ManualConfigStatusId(std::u16string_view ip, std::u16string_view mask, int dhcp) {
    if (dhcp == 1)
        return ids::UsesDhcp;
    const std::u16string none = LoadResourceString(ids::NoAddress);
    if (ip == none && mask == none)
        return ids::NoPersistentIp;
    return ids::UsesPersistentIp;
}

bool WantsDefaultMask(std::u16string_view ip, std::u16string_view mask) {
    const std::u16string none = LoadResourceString(ids::NoAddress);
    return ip != none && mask == none;
}
