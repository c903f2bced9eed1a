// Where the settings files of this executable and of its paired executable are.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "config/launcher_settings.h"

// The executable's path and folder and the settings file beside it:
// C:\Apps\Tool\start.exe reads C:\Apps\Tool\start.ini. Nothing when the
// executable's path cannot be read (the message has been shown then) or holds
// no ".".
[[nodiscard]] std::optional<ProductPaths> findProductPaths(HWND owner);

// The settings file beside the paired executable; no path when pairProduct is
// empty or holds no ".".
[[nodiscard]] std::optional<std::wstring> pairSettingsFilePath(std::wstring_view pairProduct);

// The per-user settings file of the paired executable, its folders always
// created; nothing when pairProduct is empty or there is no per-user file.
[[nodiscard]] std::optional<std::wstring> pairUserSettingsFilePath(std::wstring_view pairProduct,
                                                                   std::wstring_view productName,
                                                                   std::wstring_view productCode);

// The per-user settings file under APPDATA for the executable at
// executablePath, which holds the runtime folder the user chose. With
// createFolders the two folders above the file are created. Nothing when
// APPDATA is not an absolute path: then there is no per-user file, and
// nothing is read from or written to one.
[[nodiscard]] std::optional<std::wstring> userSettingsFilePathFor(std::wstring_view executablePath,
                                                                  std::wstring_view productName,
                                                                  std::wstring_view productCode,
                                                                  bool createFolders);
