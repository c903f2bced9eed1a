#include "instance/single_instance_channel.h"

// Single-instance mode is not built yet: every start keeps the mode off and
// runs its own program.

SingleInstanceChannel::~SingleInstanceChannel()
{
    closeChannel();
}

bool SingleInstanceChannel::setUp(HWND, const LauncherSettings&, const std::vector<std::wstring>&)
{
    singleInstanceActive_ = false;
    isFirstInstance_ = false;
    return true;
}

void SingleInstanceChannel::signalReady() {}

void SingleInstanceChannel::closeChannel() {}
