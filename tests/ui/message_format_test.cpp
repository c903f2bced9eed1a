#include "ui/message_format.h"

#include <gtest/gtest.h>

#include <climits>

TEST(FormatMessage, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(formatMessage(L"Windows Fehler: %s (Fehlernummer = %d).\n",
                            {std::wstring_view(L"konnte den Modulpfad nicht finden"), 3}),
              L"Windows Fehler: konnte den Modulpfad nicht finden (Fehlernummer = 3).\n");
    EXPECT_EQ(formatMessage(L"JNI Fehler: %s\nReason: %s.\n",
                            {std::wstring_view(L"a"), std::wstring_view(L"")}),
              L"JNI Fehler: a\nReason: .\n");
}

TEST(FormatMessage, NumbersAreSignedDecimals)
{
    EXPECT_EQ(formatMessage(L"%d/%d/%d", {-1, INT_MIN, 193}), L"-1/-2147483648/193");
}

TEST(FormatMessage, ArgumentTextIsNeverReadAsAFormat)
{
    // A path holding %s or %d must come out as written.
    EXPECT_EQ(formatMessage(L"Bibliothek: %s (%d)", {std::wstring_view(L"C:\\%s\\%d%"), 2}),
              L"Bibliothek: C:\\%s\\%d% (2)");
}

TEST(FormatMessage, MissingArgumentsAndOtherPercentSigns)
{
    EXPECT_EQ(formatMessage(L"%s and %d", {}), L" and ");
    EXPECT_EQ(formatMessage(L"100%% %x %", {}), L"100% %x %");
}

TEST(FormatMessage, LongTextsAreNotCut)
{
    std::wstring path(400, L'p');
    std::wstring result = formatMessage(L"[%s]", {std::wstring_view(path)});
    EXPECT_EQ(result.size(), 402u);
    EXPECT_EQ(result, L"[" + path + L"]");
}
