// The executable's own path and folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The executable's full path. When the system cannot tell it, the user sees
// "Windows Fehler: konnte den Modulpfad nicht finden (Fehlernummer = n)." as a
// box owned by owner, and there is no path.
[[nodiscard]] std::optional<std::wstring> modulePath(HWND owner);

// The same as modulePath with the system call and the error box passed in, so
// that a test can make the read fail and see what would be shown.
using ModuleFileNameReader = decltype(&GetModuleFileNameW);
using ErrorWithCodeShower = int (*)(HWND owner, std::wstring_view format,
                                    std::wstring_view argument, std::int32_t code);
[[nodiscard]] std::optional<std::wstring> modulePathThrough(HWND owner,
                                                            ModuleFileNameReader readModuleFileName,
                                                            ErrorWithCodeShower showError);
