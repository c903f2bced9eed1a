// The embedded settings text is read as the system's profile functions read a
// settings file: the same texts go through GetPrivateProfileStringW (on a file)
// and through parseIniText, and every value must come out the same. The
// settings store, which skips the sections and keys a file does not have, must
// answer as the profile function does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_text.h"
#include "config/settings_store.h"
#include "config_test_helpers.h"

namespace {

std::wstring profileString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key)
{
    std::vector<wchar_t> buffer(4096);
    DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                            static_cast<DWORD>(buffer.size()), path.c_str());
    return std::wstring(buffer.data(), length);
}

const std::vector<std::wstring> texts = {
    // A comment after a section header.
    L"[Application]\r\nMain Class=a.B\r\n[Java Runtime Environment] ; runtime\r\nMain "
    L"Class=c.D\r\n",
    L"[Application];x\r\nk=1\r\n[A]  ; [B]\r\nk=2\r\n",
    // Quotes around values.
    L"[A]\r\nk=\"C:\\Program Files\\Java\"\r\nx='y z'\r\nMain Class=\"\"\r\n",
    L"[A]\r\nk=\"\r\nx=\"y'\r\nMain Class=a\"b\"\r\nK2=  \" q \"  \r\n",
    L"[A]\r\nk='\"'\r\nx=\"'\"\r\nMain Class=\"\"\"\r\n",
    // Line ends.
    L"[A]\nk=1\nx=2\n",
    L"[A]\rk=1\rx=2",
    L"[A]\r\n\r\nk=1\n\r\n\rx=2\r\r\n[B]\n\nk=3",
    // Section names.
    L"[ A ]\r\nk=1\r\n[a]b]\r\nk=2\r\n[]\r\nk=3\r\n[B\r\nk=4\r\n",
    L"[A]x\r\nk=1\r\n[[B]]\r\nk=2\r\n  \t[B]\t\r\nk=3\r\n",
    // Keys without values, empty keys, repeated keys and sections.
    L"[A]\r\nk\r\nk=1\r\n=x\r\nx=2\r\n",
    L"[A]\r\nk=1\r\nk=2\r\n[B]\r\nk=3\r\n[a]\r\nk=4\r\nx=5\r\n",
    L"k=0\r\nx=0\r\n[A]\r\nx=1\r\n",
    // Blanks and control characters.
    L"\x1A\v[A]\f\x1A\r\n\tk\t=\t1\t\r\nx = a = b \r\n",
    L"\x01[A]\r\nk=1\r\n[B]\x02\r\nk=2\r\n\x1F[A]\r\nx=3\r\n",
    // Letter case.
    L"[application]\r\nMAIN CLASS=a.B\r\n[a]\r\nK=1\r\n",
    // A second byte-order mark is text.
    L"\xFEFF[A]\r\nk=1\r\n[B]\r\n\xFEFFk=2\r\n",
    // A long quoted value.
    L"[A]\r\nk=\"" + std::wstring(600, L'v') + L"\"\r\nx=" + std::wstring(300, L'w') + L"\r\n",
    // Comment lines, and keys that only a comment line or a line without "="
    // holds.
    L"[A]\r\n;k=1\r\nx\r\n;K2=3\r\n[B]\r\n; x=4\r\nk=5\r\n",
    // Characters outside ASCII.
    L"[\u00c5sa]\r\n\u4e2d=\u6587\r\n[A]\r\nk=\u0141\u00f3d\u017a\r\n",
};

const std::vector<std::wstring> sections = {
    L"A",        L"a",           L" A ",         L"B",
    L"[B",       L"Application", L"application", L"Java Runtime Environment",
    L"\u00c5sa", L"a]b",         L"[B]",         L"\u00e5SA",
    L"A+"};
const std::vector<std::wstring> keys = {L"k",          L"K",      L" k ", L"x", L"K2",
                                        L"Main Class", L"\u4e2d", L";k",  L"; x"};

TEST(ProfileReading, EmbeddedTextReadsAsTheProfileFunctionsReadAFile)
{
    TempFolder folder;
    int caseNumber = 0;
    for (const std::wstring& text : texts) {
        ++caseNumber;
        const std::wstring path = folder.file(L"case" + std::to_wstring(caseNumber) + L".ini");
        // UTF-16LE with its mark: the file holds the text behind the mark
        // that the embedded text carries too.
        writeUtf16File(path, text);
        IniSettingsStore file(path);
        MemorySettingsStore embedded = parseIniText(L"\xFEFF" + text);
        for (const std::wstring& section : sections) {
            for (const std::wstring& key : keys) {
                const std::wstring expected = profileString(path, section, key);
                EXPECT_EQ(expected, file.readSetting(section, key))
                    << "case " << caseNumber << ", [" << section << "] " << key;
                EXPECT_EQ(expected, embedded.readSetting(section, key))
                    << "case " << caseNumber << ", [" << section << "] " << key;
            }
        }
        EXPECT_EQ(embedded.sectionNames(), file.sectionNames()) << "case " << caseNumber;
    }
}

}  // namespace
