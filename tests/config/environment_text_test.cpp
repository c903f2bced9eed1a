#include "config/environment_text.h"

#include <gtest/gtest.h>

#include "config_test_helpers.h"

namespace {

TEST(ExpandEnvironment, ReplacesSetVariablesAndKeepsUnsetOnesAsWritten)
{
    EnvironmentVariableGuard home(L"TARVO_TEST_HOME", L"C:\\Java\\jdk-21");
    EnvironmentVariableGuard unset(L"TARVO_UNSET_X", nullptr);
    EXPECT_EQ(expandEnvironment(L"%TARVO_TEST_HOME%\\bin;%TARVO_TEST_HOME%\\lib"),
              L"C:\\Java\\jdk-21\\bin;C:\\Java\\jdk-21\\lib");
    EXPECT_EQ(expandEnvironment(L"%TARVO_UNSET_X%"), L"%TARVO_UNSET_X%");
    EXPECT_EQ(expandEnvironment(L"a %TARVO_UNSET_X% b %TARVO_TEST_HOME%"),
              L"a %TARVO_UNSET_X% b C:\\Java\\jdk-21");
    EXPECT_EQ(expandEnvironment(L"100% sure"), L"100% sure");
    EXPECT_EQ(expandEnvironment(L""), L"");
}

TEST(ExpandEnvironment, VariableWithEmptyValueExpandsToNothing)
{
    EnvironmentVariableGuard empty(L"TARVO_EMPTY_X", L"");
    EXPECT_EQ(expandEnvironment(L"-Da=%TARVO_EMPTY_X%;b"), L"-Da=;b");
}

TEST(ExpandEnvironment, LongValueIsExpandedWhole)
{
    std::wstring value;
    for (int i = 0; value.size() < 5000; ++i) {
        value += L"C:\\lib\\part" + std::to_wstring(i) + L".jar;";
    }
    EnvironmentVariableGuard longValue(L"TARVO_TEST_LONG", value.c_str());
    EXPECT_EQ(expandEnvironment(L"[%TARVO_TEST_LONG%]"), L"[" + value + L"]");
}

TEST(ExpandEnvironmentInPlace, ReplacesTheTextItself)
{
    EnvironmentVariableGuard home(L"TARVO_TEST_HOME", L"D:\\rt");
    EnvironmentVariableGuard unset(L"TARVO_UNSET_X", nullptr);
    std::wstring text = L"-Djava.home=%TARVO_TEST_HOME% %TARVO_UNSET_X%";
    EXPECT_TRUE(expandEnvironmentInPlace(text));
    EXPECT_EQ(text, L"-Djava.home=D:\\rt %TARVO_UNSET_X%");

    std::wstring plain = L"no variables here";
    EXPECT_TRUE(expandEnvironmentInPlace(plain));
    EXPECT_EQ(plain, L"no variables here");
}

// Sets the thread's locale, and with it the ANSI code page of CP_THREAD_ACP,
// for one test.
class ThreadLocaleGuard {
public:
    explicit ThreadLocaleGuard(LANGID language) : previous_(GetThreadLocale())
    {
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    }
    ~ThreadLocaleGuard() { SetThreadLocale(previous_); }

private:
    LCID previous_;
};

TEST(AnsiToWide, HighBytesFollowTheThreadCodePage)
{
    {
        ThreadLocaleGuard german(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));  // code page 1252
        EXPECT_EQ(ansiToWide("Gr\xFC\xDF" "e \x80"), L"Gr\u00FC\u00DFe \u20AC");
    }
    {
        ThreadLocaleGuard russian(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));  // code page 1251
        EXPECT_EQ(ansiToWide("\xE4\xE0"), L"\u0434\u0430");
    }
}

TEST(AnsiToWide, AbsentAndEmptyTextGiveEmptyText)
{
    EXPECT_EQ(ansiToWide(static_cast<const char*>(nullptr)), L"");
    EXPECT_EQ(ansiToWide(""), L"");
    EXPECT_EQ(ansiToWide(std::string_view()), L"");
    EXPECT_EQ(ansiToWide("bin\\java.dll"), L"bin\\java.dll");
}

TEST(WideToAnsi, OptionTextFollowsTheThreadCodePage)
{
    {
        ThreadLocaleGuard german(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));  // code page 1252
        EXPECT_EQ(wideToAnsi(L"-Dtitle=Gr\u00FC\u00DFe \u20AC"), "-Dtitle=Gr\xFC\xDF" "e \x80");
        // What the code page lacks becomes its default character.
        EXPECT_EQ(wideToAnsi(L"\u0434"), "?");
    }
    {
        ThreadLocaleGuard russian(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));  // code page 1251
        EXPECT_EQ(wideToAnsi(L"\u0434\u0430"), "\xE4\xE0");
    }
    EXPECT_EQ(wideToAnsi(L""), "");
}

}  // namespace
