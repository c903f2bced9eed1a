#include "config/embedded_settings_text.h"

#include <gtest/gtest.h>

#include <string>

#include "config/ini_text.h"

namespace {

using namespace std::string_view_literals;

TEST(EmbeddedSettingsText, ByteOrderMarksTellTheEncodingAndAreRemoved)
{
    EmbeddedTextBytes utf8WithMark = classifyEmbeddedText("\xEF\xBB\xBF[A]\r\n");
    EXPECT_EQ(utf8WithMark.encoding, EmbeddedTextEncoding::utf8);
    EXPECT_EQ(utf8WithMark.text, "[A]\r\n");

    EmbeddedTextBytes utf8WithoutMark = classifyEmbeddedText("[A]\r\nk=\xC3\xA4\r\n");
    EXPECT_EQ(utf8WithoutMark.encoding, EmbeddedTextEncoding::utf8);
    EXPECT_EQ(utf8WithoutMark.text, "[A]\r\nk=\xC3\xA4\r\n");

    EmbeddedTextBytes utf16 = classifyEmbeddedText("\xFF\xFE[\0"sv);
    EXPECT_EQ(utf16.encoding, EmbeddedTextEncoding::utf16LittleEndian);
    EXPECT_EQ(utf16.text, "[\0"sv);

    EXPECT_EQ(classifyEmbeddedText("\xFE\xFF\0["sv).encoding, EmbeddedTextEncoding::unsupported);
}

TEST(EmbeddedSettingsText, ShortAndEmptyBlocksAreUtf8)
{
    EXPECT_EQ(classifyEmbeddedText("").encoding, EmbeddedTextEncoding::utf8);
    EXPECT_EQ(classifyEmbeddedText("").text, "");
    // A single FF is no byte-order mark; a cut UTF-8 mark is no mark either.
    EXPECT_EQ(classifyEmbeddedText("\xFF").encoding, EmbeddedTextEncoding::utf8);
    EXPECT_EQ(classifyEmbeddedText("\xEF\xBB").text, "\xEF\xBB");
    // Only the mark itself is removed, however often it is repeated.
    EXPECT_EQ(classifyEmbeddedText("\xEF\xBB\xBF\xEF\xBB\xBFx").text, "\xEF\xBB\xBFx");
}

TEST(EmbeddedSettingsText, Utf16LittleEndianBytesBecomeCodeUnits)
{
    EXPECT_EQ(textFromUtf16LittleEndian("A\0\xE4\0\xAC\x20"sv), L"A\u00e4\u20ac");
    // A character outside the basic plane arrives as its two surrogates.
    std::wstring pair = textFromUtf16LittleEndian("\x3D\xD8\x00\xDE"sv);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(static_cast<unsigned>(pair[0]), 0xD83Du);
    EXPECT_EQ(static_cast<unsigned>(pair[1]), 0xDE00u);
    // An odd last byte is half a code unit and is dropped.
    EXPECT_EQ(textFromUtf16LittleEndian("A\0B"sv), L"A");
    EXPECT_EQ(textFromUtf16LittleEndian(""), L"");
}

TEST(EmbeddedSettingsText, TextEndsAtItsFirstZero)
{
    EXPECT_EQ(textBeforeFirstZero(L"a=b\r\n\0\0\0"sv), L"a=b\r\n");
    EXPECT_EQ(textBeforeFirstZero(L"\0[A]"sv), L"");
    EXPECT_EQ(textBeforeFirstZero(L"[A]"), L"[A]");
}

TEST(EmbeddedSettingsText, DecodedUtf16BlockParsesIntoSettings)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c :
         std::wstring(L"[Java Runtime Environment]\r\nMain Class=de.b\u00e4r.App\r\n")) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    bytes.append(4, '\0');  // padding after the text
    EmbeddedTextBytes classified = classifyEmbeddedText(bytes);
    ASSERT_EQ(classified.encoding, EmbeddedTextEncoding::utf16LittleEndian);
    std::wstring text = textFromUtf16LittleEndian(classified.text);
    MemorySettingsStore store = parseIniText(textBeforeFirstZero(text));
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"Main Class"), L"de.b\u00e4r.App");
}

}  // namespace
