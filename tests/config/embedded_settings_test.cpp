#include "config/embedded_settings.h"

#include <gtest/gtest.h>

#include "config_test_helpers.h"

namespace {

constexpr wchar_t jre[] = L"Java Runtime Environment";

TEST(EmbeddedSettings, ResourceOfTheModuleIsDecodedAndParsed)
{
    MemorySettingsStore layer = readEmbeddedSettings(GetModuleHandleW(nullptr));
    // Letters outside ASCII survive the decoding; a repeated key keeps its first value.
    EXPECT_EQ(layer.readSetting(jre, L"Main Class"), L"de.beispiel.Gr\u00f6\u00dfe");
    EXPECT_EQ(layer.readSetting(jre, L"Virtual Machine Parameters"), L"-Xmx256m");
    EXPECT_EQ(layer.readSetting(L"Application", L"Cmd"),
              L"--embedded \"%TARVO_TEST_CMD_FOLDER%\\Datei \u00e4.txt\"");
    // Names in the embedded layer ignore letter case, as in the settings file,
    // so the later [java runtime environment] repeats the first section and
    // is never read.
    EXPECT_EQ(layer.readSetting(jre, L"System Path"), L"");
    EXPECT_EQ(layer.readSetting(L"java runtime environment", L"System Path"), L"");
    EXPECT_EQ(layer.readSetting(jre, L"main class"), L"de.beispiel.Gr\u00f6\u00dfe");
}

TEST(EmbeddedSettings, ModuleWithoutTheResourceGivesAnEmptyLayer)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_TRUE(readEmbeddedSettings(kernel).isEmpty());
}

TEST(EmbeddedSettings, LayeredReaderPutsTheFileOverTheExecutablesOwnSettings)
{
    TempFolder folder;
    std::wstring file = folder.file(L"start.ini");
    writeFileBytes(file,
                   "[java runtime environment]\r\nVirtual Machine Parameters=-Xmx1g\r\n"
                   "[Java Runtime Environment+]\r\nMain Class=Extra\r\n");
    LayeredSettingsStore settings = openLayeredSettings(file);
    // The file's value wins (its names ignore letter case)...
    EXPECT_EQ(settings.readSetting(jre, L"Virtual Machine Parameters"), L"-Xmx1g");
    // ...a "+" section adds to the embedded value...
    EXPECT_EQ(settings.readSetting(jre, L"Main Class"), L"de.beispiel.Gr\u00f6\u00dfe Extra");
    // ...and without a file value the embedded one is read, its names
    // ignoring letter case too.
    EXPECT_EQ(settings.readSetting(L"java runtime environment", L"System Path"), L"");
    EXPECT_EQ(settings.readSetting(L"application", L"CMD"),
              L"--embedded \"%TARVO_TEST_CMD_FOLDER%\\Datei \u00e4.txt\"");

    LayeredSettingsStore withoutFile = openLayeredSettings(folder.file(L"absent.ini"));
    EXPECT_EQ(withoutFile.readSetting(jre, L"Virtual Machine Parameters"), L"-Xmx256m");
}

}  // namespace
