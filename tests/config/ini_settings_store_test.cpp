#include <gtest/gtest.h>

#include "config/settings_store.h"
#include "config_test_helpers.h"
#include "support/handle_owners.h"

namespace {

// A value of the given length whose every position is told apart, so that a
// cut or a repeated piece shows.
std::wstring valueOfLength(size_t length)
{
    std::wstring value;
    for (size_t i = 0; value.size() < length; ++i) {
        value += std::to_wstring(i) + L",";
    }
    value.resize(length);
    value.back() = L'!';
    return value;
}

std::string ansi(std::wstring_view text)
{
    return std::string(text.begin(), text.end());
}

// UTF-16LE bytes of the text, without a byte-order mark.
std::string utf16(std::wstring_view text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

// The file's number on its volume, which tells one file from another.
std::optional<ULONGLONG> fileIdentity(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !GetFileInformationByHandle(file.get(), &information)) {
        return std::nullopt;
    }
    return (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

// Whether a new file of a settings write is left in the folder.
bool hasNewFileLeft(const TempFolder& folder)
{
    WIN32_FIND_DATAW found{};
    FindHandle search(FindFirstFileW((folder.path() + L"\\*.new").c_str(), &found));
    return static_cast<bool>(search);
}

// The value as the system's profile function reads it.
std::wstring profileRead(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, path.c_str());
    return value;
}

TEST(IniSettingsStore, ValuesAroundTheBufferSizesAreReadWhole)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    const size_t lengths[] = {1, 254, 255, 256, 257, 511, 512, 513, 1023, 100000};
    std::string text = "[Application]\r\n";
    for (size_t length : lengths) {
        text += "Value" + std::to_string(length) + "=" + ansi(valueOfLength(length)) + "\r\n";
    }
    text += "After=end\r\n";
    writeFileBytes(path, text);

    IniSettingsStore store(path);
    for (size_t length : lengths) {
        std::wstring value = store.readSetting(L"Application", L"Value" + std::to_wstring(length));
        EXPECT_EQ(value.size(), length);
        EXPECT_EQ(value, valueOfLength(length)) << "value of length " << length;
    }
    EXPECT_EQ(store.readSetting(L"Application", L"After"), L"end");
}

TEST(IniSettingsStore, MissingFileSectionOrKeyReadsEmpty)
{
    TempFolder folder;
    writeFileBytes(folder.file(L"start.ini"), "[Application]\r\nMain Class=com.example.App\r\n");
    IniSettingsStore store(folder.file(L"start.ini"));
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"com.example.App");
    EXPECT_EQ(store.readSetting(L"APPLICATION", L"main class"), L"com.example.App");
    EXPECT_EQ(store.readSetting(L"Application", L"Class Path"), L"");
    EXPECT_EQ(store.readSetting(L"Display", L"Main Class"), L"");
    IniSettingsStore absent(folder.file(L"absent.ini"));
    EXPECT_EQ(absent.readSetting(L"Application", L"Main Class"), L"");
}

TEST(IniSettingsStore, SectionNamesInFileOrderEvenWhenTheyOutgrowTheFirstBuffer)
{
    TempFolder folder;
    std::string text;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 120; ++i) {
        std::string name = "Section number " + std::to_string(i);
        text += "[" + name + "]\r\nk=v\r\n";
        expected.emplace_back(name.begin(), name.end());
    }
    writeFileBytes(folder.file(L"many.ini"), text);
    EXPECT_EQ(IniSettingsStore(folder.file(L"many.ini")).sectionNames(), expected);

    writeFileBytes(folder.file(L"two.ini"), "[Application]\r\n[Display]\r\nk=v\r\n");
    EXPECT_EQ(IniSettingsStore(folder.file(L"two.ini")).sectionNames(),
              (std::vector<std::wstring>{L"Application", L"Display"}));
    EXPECT_TRUE(IniSettingsStore(folder.file(L"absent.ini")).sectionNames().empty());
}

TEST(IniSettingsStore, WriteSettingCreatesFileSectionAndKey)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"user.ini");
    IniSettingsStore store(path);
    EXPECT_TRUE(store.writeSetting(L"Java Runtime Environment", L"JRE Path", L"C:\\Java\\jre"));
    EXPECT_TRUE(fileExists(path));
    EXPECT_EQ(IniSettingsStore(path).readSetting(L"Java Runtime Environment", L"JRE Path"),
              L"C:\\Java\\jre");
    std::optional<std::string> bytes = readFileBytes(path);
    ASSERT_TRUE(bytes);
    // A new file is UTF-16LE with its byte-order mark, so any folder name fits.
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes->find(utf16(L"JRE Path=C:\\Java\\jre")), std::string::npos);
}

TEST(IniSettingsStore, NameOutsideTheAnsiCodePageIsStoredWhole)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"user.ini");
    const std::wstring name = L"C:\\Users\\\u00c5sa \u0141\u00f3d\u017a\\\u4e2d\u6587\\jre\\";
    EXPECT_TRUE(
        IniSettingsStore(path).writeSetting(L"Java Runtime Environment", L"JRE Path", name));
    EXPECT_EQ(profileRead(path, L"Java Runtime Environment", L"JRE Path"), name);
    EXPECT_EQ(IniSettingsStore(path).readSetting(L"Java Runtime Environment", L"JRE Path"), name);
}

TEST(IniSettingsStore, AnsiFileThatCannotHoldTheNameBecomesUtf16KeepingEveryLine)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path,
                   "; written by the vendor\r\n[Application]\r\nMain Class=com.example.App\r\n"
                   "\r\n[Java Runtime Environment] ; runtime\r\nJRE Path=old\r\n"
                   "JVM Type=server\r\n");
    const std::wstring name = L"D:\\\u4e2d\\jre\\";
    EXPECT_TRUE(
        IniSettingsStore(path).writeSetting(L"Java Runtime Environment", L"JRE Path", name));
    std::optional<std::string> bytes = readFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "\xFF\xFE" + utf16(L"; written by the vendor\r\n[Application]\r\n"
                                         L"Main Class=com.example.App\r\n\r\n"
                                         L"[Java Runtime Environment] ; runtime\r\nJRE Path=" +
                                         name + L"\r\nJVM Type=server\r\n"));
    EXPECT_EQ(profileRead(path, L"Java Runtime Environment", L"JRE Path"), name);
}

TEST(IniSettingsStore, FileThatCanHoldTheNameKeepsItsEncodingAndEveryOtherByte)
{
    TempFolder folder;
    const std::wstring ansiPath = folder.file(L"ansi.ini");
    writeFileBytes(ansiPath, "[A]\r\n;note\nk = old\r\nx=1");
    EXPECT_TRUE(IniSettingsStore(ansiPath).writeSetting(L"A", L"k", L"C:\\Java"));
    EXPECT_EQ(readFileBytes(ansiPath), "[A]\r\n;note\nk=C:\\Java\r\nx=1");

    const std::wstring utf8Path = folder.file(L"utf8.ini");
    writeFileBytes(utf8Path, "\xEF\xBB\xBF[A]\r\nx=1\r\n");
    EXPECT_TRUE(IniSettingsStore(utf8Path).writeSetting(L"A", L"k", L"\u4e2d"));
    EXPECT_EQ(readFileBytes(utf8Path), "\xEF\xBB\xBF[A]\r\nx=1\r\nk=\xE4\xB8\xAD\r\n");
    EXPECT_EQ(profileRead(utf8Path, L"A", L"k"), L"\u4e2d");
}

TEST(IniSettingsStore, WriteReplacesTheFileInsteadOfRewritingItInPlace)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path, "[A]\r\nk=old\r\n");
    // The text goes to a new file that then takes the old one's place in one
    // step: the file at the path is another file afterwards, never the old
    // one cut short and filled again.
    const std::optional<ULONGLONG> before = fileIdentity(path);
    ASSERT_TRUE(before);
    EXPECT_TRUE(IniSettingsStore(path).writeSetting(L"A", L"k", L"new"));
    const std::optional<ULONGLONG> after = fileIdentity(path);
    ASSERT_TRUE(after);
    EXPECT_NE(*before, *after);
    EXPECT_EQ(readFileBytes(path), "[A]\r\nk=new\r\n");
    // Nothing is left beside it.
    EXPECT_FALSE(hasNewFileLeft(folder));
}

TEST(IniSettingsStore, FailedWriteLeavesTheFileAsItWas)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path, "[A]\r\nk=old\r\n");
    // Held without delete sharing, the file cannot be replaced.
    FileHandle holder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(IniSettingsStore(path).writeSetting(L"A", L"k", L"new"));
    holder.reset();
    EXPECT_EQ(readFileBytes(path), "[A]\r\nk=old\r\n");
    EXPECT_FALSE(hasNewFileLeft(folder));
}

TEST(IniSettingsStore, WriteSettingKeepsTheOtherKeysAndReplacesItsOwn)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path,
                   "[Application]\r\nMain Class=com.example.App\r\n"
                   "[Java Runtime Environment]\r\nJRE Path=old\r\nJVM Type=server\r\n");
    IniSettingsStore store(path);
    EXPECT_TRUE(store.writeSetting(L"Java Runtime Environment", L"JRE Path", L"D:\\jre"));
    IniSettingsStore reread(path);
    EXPECT_EQ(reread.readSetting(L"Java Runtime Environment", L"JRE Path"), L"D:\\jre");
    EXPECT_EQ(reread.readSetting(L"Java Runtime Environment", L"JVM Type"), L"server");
    EXPECT_EQ(reread.readSetting(L"Application", L"Main Class"), L"com.example.App");
}

TEST(IniSettingsStore, WriteIntoAMissingFolderFails)
{
    TempFolder folder;
    IniSettingsStore store(folder.path() + L"\\missing\\user.ini");
    EXPECT_FALSE(store.writeSetting(L"Java Runtime Environment", L"JRE Path", L"C:\\jre"));
    EXPECT_FALSE(folderExists(folder.path() + L"\\missing"));
}

TEST(IniSettingsStore, ProbeTellsWhetherTheFileCanBeOpenedAlone)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path, "[A]\r\nk=v\r\n");
    IniSettingsStore store(path);
    EXPECT_EQ(store.probe(), 0u);
    writeFileBytes(folder.file(L"short.ini"), "[");
    EXPECT_EQ(IniSettingsStore(folder.file(L"short.ini")).probe(), 0u);
    EXPECT_EQ(IniSettingsStore(folder.file(L"absent.ini")).probe(),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    {
        FileHandle held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(store.probe(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    // The probe's own handle is closed again: the file can be opened alone.
    EXPECT_EQ(store.probe(), 0u);
    EXPECT_EQ(store.probe(), 0u);
}

TEST(IniSettingsStore, DeleteFileRemovesItOnce)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path, "[A]\r\nk=v\r\n");
    IniSettingsStore store(path);
    EXPECT_TRUE(store.deleteFile());
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(store.deleteFile());
}

}  // namespace
