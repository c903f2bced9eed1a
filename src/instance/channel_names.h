// The names of the named objects through which the starts of one executable
// find each other.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct ChannelNames {
    // The executable's path with every backslash made an underscore: the name
    // of the shared record and of the registered message.
    std::wstring channel;
    // The manual-reset event the first instance sets once main is about to run.
    std::wstring readyEvent;
    // The mutex that lets one start at a time decide its role or hand over.
    std::wstring handoverLock;
    // The registered message by which the first instance tells a later start
    // that it has copied the arguments: the record is free for the next start.
    std::wstring copiedMessage;
};

// C:\Apps\Tool\start.exe gives C:_Apps_Tool_start.exe: only backslashes
// change; letter case, the drive colon and everything else stay. No prefix
// (neither Global\ nor Local\): the names live in the logon's own namespace.
std::wstring channelName(std::wstring_view modulePath);

// The names for the executable at modulePath (its normalized path, so that
// every spelling of one executable meets on one channel). None when the path is
// empty or when a name would be longer than the system takes for a named
// object (259 characters): a cut name could be shared by two executables, so
// such an executable runs without the mode instead.
[[nodiscard]] std::optional<ChannelNames> channelNamesFor(std::wstring_view modulePath);
