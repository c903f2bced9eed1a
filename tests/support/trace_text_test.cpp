// The trace's text rules: what reaches a trace line from outside cannot break
// or forge a line, and ordinary text, paths included, stays readable.
#include <gtest/gtest.h>

#include <string>

#include "support/trace_text.h"

TEST(TraceText, OrdinaryTextAndPathsStayAsTheyAre)
{
    EXPECT_EQ(escapeTraceText(L"C:\\Program Files\\Java\\jdk-21\\bin\\server\\jvm.dll"),
              "C:\\Program Files\\Java\\jdk-21\\bin\\server\\jvm.dll");
    EXPECT_EQ(escapeTraceText(L""), "");
    // An escape already in the text is not special: it is written as it is.
    EXPECT_EQ(escapeTraceText(L"a\\x0Ab"), "a\\x0Ab");
}

TEST(TraceText, ControlCharactersBecomeHexEscapes)
{
    EXPECT_EQ(escapeTraceText(L"one\r\ntwo"), "one\\x0D\\x0Atwo");
    EXPECT_EQ(escapeTraceText(std::wstring(L"a\0b", 3)), "a\\x00b");
    EXPECT_EQ(escapeTraceText(L"\t\x1B\x7F"), "\\x09\\x1B\\x7F");
    // C1 controls, NEL among them, are control characters too.
    EXPECT_EQ(escapeTraceText(L"\x85\x9F"), "\\x85\\x9F");
}

TEST(TraceText, LineSeparatorsAndLoneSurrogatesAreEscaped)
{
    EXPECT_EQ(escapeTraceText(L"a\x2028" L"b\x2029"), "a\\u2028b\\u2029");
    EXPECT_EQ(escapeTraceText(std::wstring(1, static_cast<wchar_t>(0xD800))), "\\uD800");
    EXPECT_EQ(escapeTraceText(std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"x"), "\\uDC00x");
}

TEST(TraceText, TextOutsideAsciiIsWrittenAsUtf8)
{
    EXPECT_EQ(escapeTraceText(L"Gr\x00FC\x00DF" L"e \x20AC"), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
#if WCHAR_MAX > 0xFFFF
    std::wstring emoji(1, static_cast<wchar_t>(0x1F600));
#else
    std::wstring emoji = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
#endif
    EXPECT_EQ(escapeTraceText(emoji), "\xF0\x9F\x98\x80");
}

TEST(TraceText, ALineHoldsTimeThreadAndEscapedTextAndEndsOnce)
{
    std::string line = formatTraceLine(1234, 42, L"JavaHome = \"C:\\evil\r\n99 ms forged\"");
    EXPECT_EQ(line, "    1234 ms  thread 42     JavaHome = \"C:\\evil\\x0D\\x0A99 ms forged\"\r\n");
    EXPECT_EQ(line.find('\n'), line.size() - 1);
}
