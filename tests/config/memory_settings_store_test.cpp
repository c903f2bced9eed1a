#include "config/memory_settings_store.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::wstring>;

TEST(MemorySettingsStore, EmptyStoreReadsEmptyAndProbesWithoutError)
{
    MemorySettingsStore store;
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"");
    EXPECT_TRUE(store.sectionNames().empty());
    EXPECT_EQ(store.probe(), 0u);
}

TEST(MemorySettingsStore, SettingAKeyAgainAppendsAndTheFirstValueWins)
{
    MemorySettingsStore store;
    store.setSetting(L"Application", L"Main Class", L"com/first/App");
    store.setSetting(L"Application", L"Main Class", L"com/second/App");
    store.setSetting(L"Application", L"Cmd", L"-x");
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"com/first/App");
    EXPECT_EQ(store.readSetting(L"Application", L"Cmd"), L"-x");
    EXPECT_EQ(store.sectionNames(), (Names{L"Application"}));
}

TEST(MemorySettingsStore, KeyNamesAreThoseOfTheFirstSectionOfTheName)
{
    MemorySettingsStore store(NameMatching::asProfileFunctions);
    store.addSection(L"Application");
    store.addToLastSection(L"Cmd", L"-x");
    store.addToLastSection(L"Main Class", L"a.B");
    store.addToLastSection(L"Cmd", L"-y");
    store.addSection(L"application");
    store.addToLastSection(L"Hidden", L"1");
    EXPECT_EQ(store.keyNames(L" APPLICATION "), (Names{L"Cmd", L"Main Class", L"Cmd"}));
    EXPECT_TRUE(store.keyNames(L"Missing").empty());
}

TEST(MemorySettingsStore, AddingASectionAlwaysAppendsAndOnlyTheFirstOfANameIsRead)
{
    MemorySettingsStore store;
    store.addSection(L"Java Runtime Environment");
    store.addToLastSection(L"JVM Type", L"server");
    store.addSection(L"Java Runtime Environment");
    store.addToLastSection(L"JVM Type", L"favor_server");
    store.addToLastSection(L"JRE Path", L"jre");
    EXPECT_EQ(store.sectionNames(),
              (Names{L"Java Runtime Environment", L"Java Runtime Environment"}));
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JVM Type"), L"server");
    // The first section of the name decides, even when it lacks the key.
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JRE Path"), L"");
    // Setting finds the first section of the name too.
    store.setSetting(L"Java Runtime Environment", L"JRE Path", L"C:\\jre");
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JRE Path"), L"C:\\jre");
    EXPECT_EQ(store.sectionNames().size(), 2u);
}

TEST(MemorySettingsStore, NamesMatchExactlyWithLetterCase)
{
    MemorySettingsStore store;
    store.setSetting(L"Application", L"Failure Check", L"Yes");
    EXPECT_EQ(store.readSetting(L"application", L"Failure Check"), L"");
    EXPECT_EQ(store.readSetting(L"Application", L"failure check"), L"");
    EXPECT_EQ(store.readSetting(L"Application ", L"Failure Check"), L"");
    EXPECT_EQ(store.readSetting(L"Application", L"Failure Check"), L"Yes");
}

TEST(MemorySettingsStore, SettingAMissingSectionAppendsItAtTheEnd)
{
    MemorySettingsStore store;
    store.addSection(L"A");
    store.setSetting(L"B", L"k", L"1");
    store.addToLastSection(L"k2", L"2");
    EXPECT_EQ(store.sectionNames(), (Names{L"A", L"B"}));
    EXPECT_EQ(store.readSetting(L"B", L"k2"), L"2");
    EXPECT_EQ(store.readSetting(L"A", L"k2"), L"");
}

TEST(MemorySettingsStore, PairWithoutAnySectionIsIgnored)
{
    MemorySettingsStore store;
    store.addToLastSection(L"k", L"v");
    EXPECT_TRUE(store.isEmpty());
    EXPECT_EQ(store.readSetting(L"", L"k"), L"");
}

}  // namespace
