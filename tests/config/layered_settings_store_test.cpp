#include "config/layered_settings_store.h"

#include <gtest/gtest.h>

#include "config/ini_text.h"
#include "config_test_helpers.h"

namespace {

constexpr wchar_t jre[] = L"Java Runtime Environment";
constexpr wchar_t parameters[] = L"Virtual Machine Parameters";

class LayeredSettingsStoreTest : public testing::Test {
protected:
    LayeredSettingsStore storeOver(std::string_view fileText, std::wstring_view embeddedText)
    {
        writeFileBytes(path_, fileText);
        return LayeredSettingsStore(path_, parseIniText(embeddedText));
    }

    TempFolder folder_;
    std::wstring path_ = folder_.file(L"start.ini");
};

const wchar_t embedded[] =
    L"[Java Runtime Environment]\r\nVirtual Machine Parameters=-Xmx512m\r\n"
    L"Main Class=com.example.Embedded\r\n";

TEST_F(LayeredSettingsStoreTest, ValueInTheFileWinsOverTheLayer)
{
    LayeredSettingsStore store = storeOver(
        "[Java Runtime Environment]\r\nVirtual Machine Parameters=-Xmx1g\r\n"
        "[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Dignored=1\r\n",
        embedded);
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx1g");
    EXPECT_EQ(store.readSetting(jre, L"Main Class"), L"com.example.Embedded");
}

TEST_F(LayeredSettingsStoreTest, PlusSectionExtendsTheLayerWhenThePlainValueIsEmpty)
{
    LayeredSettingsStore store = storeOver(
        "[Java Runtime Environment]\r\nVirtual Machine Parameters=\r\n"
        "[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Dextra=1\r\n"
        "Main Class=com.example.Plus\r\n",
        embedded);
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx512m -Dextra=1");
    EXPECT_EQ(store.readSetting(jre, L"Main Class"), L"com.example.Embedded com.example.Plus");
}

TEST_F(LayeredSettingsStoreTest, PlusValueStartingWithABlankGetsNoSecondBlank)
{
    // The profile functions drop blanks around a value unless it is quoted.
    LayeredSettingsStore store = storeOver(
        "[Java Runtime Environment+]\r\nVirtual Machine Parameters=\"  -Dextra=1\"\r\n", embedded);
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx512m  -Dextra=1");
}

TEST_F(LayeredSettingsStoreTest, PlusValueOverAnEmptyLayerGetsOneBlankInFront)
{
    LayeredSettingsStore store = storeOver(
        "[Java Runtime Environment]\r\nVirtual Machine Parameters=\r\n"
        "[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Dextra=1\r\n",
        L"");
    EXPECT_EQ(store.readSetting(jre, parameters), L" -Dextra=1");
}

TEST_F(LayeredSettingsStoreTest, WithoutFileValuesTheLayerIsRead)
{
    LayeredSettingsStore store = storeOver("[Application]\r\nCmd=-x\r\n", embedded);
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx512m");
    EXPECT_EQ(store.readSetting(L"Application", L"Cmd"), L"-x");
    EXPECT_EQ(store.readSetting(L"Application", L"Output File"), L"");

    LayeredSettingsStore missingFile(folder_.file(L"absent.ini"), parseIniText(embedded));
    EXPECT_EQ(missingFile.readSetting(jre, parameters), L"-Xmx512m");
    EXPECT_EQ(missingFile.readSetting(jre, L"JRE Path"), L"");
}

TEST_F(LayeredSettingsStoreTest, LayerAndFileNamesBothIgnoreCase)
{
    LayeredSettingsStore store = storeOver(
        "[java runtime environment+]\r\nvirtual machine parameters=-Dplus\r\n", embedded);
    EXPECT_EQ(store.readSetting(L"JAVA RUNTIME ENVIRONMENT", L"Virtual Machine Parameters"),
              L"-Xmx512m -Dplus");
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx512m -Dplus");
}

TEST_F(LayeredSettingsStoreTest, ReadsThroughTheSettingsStoreInterface)
{
    LayeredSettingsStore layered =
        storeOver("[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Dplus\r\n", embedded);
    const SettingsStore& store = layered;
    EXPECT_EQ(store.readSetting(jre, parameters), L"-Xmx512m -Dplus");
    EXPECT_EQ(store.sectionNames(), std::vector<std::wstring>{L"Java Runtime Environment+"});
}

}  // namespace
