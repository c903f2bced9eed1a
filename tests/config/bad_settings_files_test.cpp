// Settings files that are missing or damaged read as empty values and are never
// written to by reading.
#include <gtest/gtest.h>

#include <random>

#include "config/ini_text.h"
#include "config/layered_settings_store.h"
#include "config_test_helpers.h"
#include "support/handle_owners.h"

namespace {

struct FileState {
    bool exists = false;
    std::string bytes;
    FILETIME lastWrite{};
};

FileState stateOf(const std::wstring& path)
{
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return state;
    }
    state.exists = true;
    state.lastWrite = data.ftLastWriteTime;
    state.bytes = readFileBytes(path).value_or("");
    return state;
}

// An old write time, so that any write during the test would change it.
void backdate(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    SYSTEMTIME old{2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME time{};
    SystemTimeToFileTime(&old, &time);
    EXPECT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time));
}

// Every read the launcher makes, through both stores.
void readEverything(const std::wstring& path)
{
    IniSettingsStore plain(path);
    (void)plain.probe();
    (void)plain.sectionNames();
    for (const wchar_t* section : {L"Application", L"Java Runtime Environment", L"Display", L"A"}) {
        for (const wchar_t* key : {L"Main Class", L"JRE Path", L"Splash Screen", L"k"}) {
            (void)plain.readSetting(section, key);
        }
    }
    LayeredSettingsStore layered(
        path, parseIniText(L"[Application]\r\nMain Class=com.example.Embedded\r\n"));
    EXPECT_FALSE(layered.readSetting(L"Application", L"Main Class").empty());
    (void)layered.readSetting(L"Java Runtime Environment", L"Virtual Machine Parameters");
    (void)layered.probe();
}

void expectUntouchedByReading(const std::wstring& path)
{
    FileState before = stateOf(path);
    readEverything(path);
    FileState after = stateOf(path);
    EXPECT_EQ(after.exists, before.exists);
    EXPECT_TRUE(after.bytes == before.bytes) << "the file's contents changed";
    EXPECT_EQ(CompareFileTime(&after.lastWrite, &before.lastWrite), 0) << "the file was written";
}

TEST(BadSettingsFiles, MissingFileReadsEmptyAndIsNotCreated)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    expectUntouchedByReading(path);
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(IniSettingsStore(path).readSetting(L"Application", L"Main Class"), L"");
    EXPECT_EQ(LayeredSettingsStore(path).readSetting(L"Application", L"Main Class"), L"");
}

TEST(BadSettingsFiles, EmptyFileReadsEmptyAndStaysEmpty)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeFileBytes(path, "");
    backdate(path);
    expectUntouchedByReading(path);
    EXPECT_EQ(IniSettingsStore(path).readSetting(L"Application", L"Main Class"), L"");
    EXPECT_TRUE(IniSettingsStore(path).sectionNames().empty());
}

TEST(BadSettingsFiles, BinaryGarbageIsReadWithoutHarmAndLeftAsItWas)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    // Random bytes with pieces of INI syntax and zeros strewn in.
    const std::string pieces[] = {"\r\n[Application]\r\n", "=\r\n", std::string("\0[]\0", 4),
                                  "\r\nMain Class==\r", "\n[Java Runtime Environment+]\n"};
    std::string garbage;
    for (int i = 0; i < 64 * 1024; ++i) {
        garbage += static_cast<char>(byte(generator));
        if (i % 997 == 0) {
            garbage += pieces[(i / 997) % std::size(pieces)];
        }
    }
    garbage += std::string("\0\0\xFF\xFE[A]\r\nk=v", 12);
    writeFileBytes(path, garbage);
    backdate(path);
    expectUntouchedByReading(path);
}

TEST(BadSettingsFiles, Utf16FileWithByteOrderMarkIsReadAndLeftAsItWas)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    writeUtf16File(path,
                   L"[Application]\r\nMain Class=com.example.\u00C4pp\r\n"
                   L"[Java Runtime Environment]\r\nJRE Path=C:\\Programme\\J\u00FCrgen\r\n");
    backdate(path);
    expectUntouchedByReading(path);
    IniSettingsStore store(path);
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"com.example.\u00C4pp");
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JRE Path"),
              L"C:\\Programme\\J\u00FCrgen");
}

TEST(BadSettingsFiles, LineOfAHundredThousandCharactersIsReadAndLeftAsItWas)
{
    TempFolder folder;
    const std::wstring path = folder.file(L"start.ini");
    std::string text = "[Application]\r\nCmd=" + std::string(100000, 'c') + "\r\n" +
                       std::string(100000, '[') + "\r\n" + std::string(100000, 'x') +
                       "\r\n[Java Runtime Environment]\r\nJRE Path=jre\r\n";
    writeFileBytes(path, text);
    backdate(path);
    expectUntouchedByReading(path);
    IniSettingsStore store(path);
    EXPECT_EQ(store.readSetting(L"Application", L"Cmd"), std::wstring(100000, L'c'));
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JRE Path"), L"jre");
}

}  // namespace
