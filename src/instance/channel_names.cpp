#include "instance/channel_names.h"

#include <algorithm>

namespace {

// MAX_PATH characters with the terminating zero.
constexpr std::size_t kLongestObjectName = 259;

}  // namespace

std::wstring channelName(std::wstring_view modulePath)
{
    std::wstring name(modulePath);
    std::replace(name.begin(), name.end(), L'\\', L'_');
    return name;
}

std::optional<ChannelNames> channelNamesFor(std::wstring_view modulePath)
{
    if (modulePath.empty()) {
        return std::nullopt;
    }
    ChannelNames names;
    names.channel = channelName(modulePath);
    names.readyEvent = names.channel + L"_upr_evt";
    names.handoverLock = names.channel + L"_upr_mtx";
    names.copiedMessage = names.channel + L"_upr_ack";
    for (const std::wstring* name :
         {&names.channel, &names.readyEvent, &names.handoverLock, &names.copiedMessage}) {
        if (name->size() > kLongestObjectName) {
            return std::nullopt;
        }
    }
    return names;
}
