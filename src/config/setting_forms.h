// How the text of a setting becomes its value. Each key has one fixed rule:
// some words ignore letter case, others must be written exactly.
#pragma once

#include <string>
#include <string_view>

#include "config/launcher_settings.h"

// Equal when the texts differ at most in the letter case of A to Z, the
// comparison the launcher uses wherever letter case does not count.
bool equalsIgnoringCase(std::wstring_view left, std::wstring_view right);

// A "Yes" flag: Yes, yes, YES and every other letter case are on; anything
// else, an empty text included, is off.
bool isYesIgnoringCase(std::wstring_view text);

// An exact "yes" flag: only the lower-case word is on, "Yes" is off.
bool isExactlyYes(std::wstring_view text);

// "JVM Type": exactly "server" or "favor_server"; any other text, "Server"
// included, accepts any JVM.
int jvmTypeFromText(std::wstring_view text);

// "JVM Source": sets favorMode, jdkWanted and jreWanted. Empty wants both
// kinds; the four words are exact; any other word wants neither.
void applyJvmSource(std::wstring_view text, LauncherSettings& settings);

// "VM Provider": the first word of its table that matches, ignoring letter
// case, sets all six vendor flags. An empty text or an unknown word leaves
// them as they are.
void applyVmProvider(std::wstring_view text, LauncherSettings& settings);

// A setting path is absolute when it has at least two characters and starts
// with two backslashes (a network path) or has ":" as its second character.
// A path that starts with a single backslash is relative.
bool isAbsoluteSettingPath(std::wstring_view path);

// A setting path made absolute: an absolute one is kept, a relative one is
// put under the executable's folder (given without a trailing backslash).
std::wstring settingPathUnder(std::wstring_view path, std::wstring_view executableFolder);

// "JRE Path" made absolute: an empty value stays empty, an absolute one is
// kept, a relative one is put under the executable's folder.
std::wstring resolveJrePath(std::wstring_view value, std::wstring_view executableFolder);

// "Pair Product" made absolute as "JRE Path" is. Taken relative to the
// current folder, a partial name would start whatever program of that name
// lies in the folder the caller chose (a document's, a download folder), and
// a service's pair files would land in the Windows folder.
std::wstring resolvePairProduct(std::wstring_view value, std::wstring_view executableFolder);

// "Main Class" with its "." separators turned into the "/" that JNI expects.
std::wstring mainClassFromText(std::wstring_view text);

// The upper version bound from "Maximum Version". An empty value means no
// upper bound, as "any" does.
RuntimeVersion maximumVersionSetting(std::wstring_view text);
