// The test runtime's text encodings: modified UTF-8 as JNI speaks it, and
// standard UTF-8 as its print streams write and ByteArrayOutputStream reads.
#include "support/test_jvm/java_text.h"

#include <gtest/gtest.h>

using namespace test_jvm;

namespace {

TEST(ModifiedUtf8, EncodesZeroInTwoBytesAndEachSurrogateOnItsOwn)
{
    EXPECT_EQ(modifiedUtf8FromUtf16(std::u16string(u"a\0b", 3)),
              "a\xC0\x80"
              "b");
    EXPECT_EQ(modifiedUtf8FromUtf16(u"\u00E4\u20AC"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(modifiedUtf8FromUtf16(u"\U0001D400"), "\xED\xA0\xB5\xED\xB0\x80");
    EXPECT_EQ(modifiedUtf8FromUtf16(u"\xDC00"), "\xED\xB0\x80");
}

TEST(ModifiedUtf8, DecodesBackAndReplacesWhatIsMalformed)
{
    std::u16string mixed(u"a\0\u00E4\U0001D400\xD800z", 7);
    EXPECT_EQ(utf16FromModifiedUtf8(modifiedUtf8FromUtf16(mixed)), mixed);
    // A truncated form, a stray continuation byte, and a 4-byte form (which
    // modified UTF-8 never uses) each give replacement characters.
    EXPECT_EQ(utf16FromModifiedUtf8("\xE2\x82"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf16FromModifiedUtf8("\x80x"), u"\uFFFDx");
    EXPECT_EQ(utf16FromModifiedUtf8("\xF0\x9D\x90\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(StandardUtf8, PairsBecomeFourBytesAndLoneSurrogatesAQuestionMark)
{
    EXPECT_EQ(utf8FromUtf16(u"\U0001D400"), "\xF0\x9D\x90\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string(u"x\0y", 3)), std::string("x\0y", 3));
    EXPECT_EQ(utf8FromUtf16(u"\xD800"
                            "a\xDC00"),
              "?a?");
    EXPECT_EQ(utf16FromUtf8("\xF0\x9D\x90\x80\xC3\xBC"), u"\U0001D400\u00FC");
    // Overlong forms and encoded surrogates are malformed in standard UTF-8.
    EXPECT_EQ(utf16FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(ClassNames, TheDottedFormReplacesEverySlash)
{
    EXPECT_EQ(dottedClassName("java/lang/String"), "java.lang.String");
    EXPECT_EQ(dottedClassName("Plain"), "Plain");
}

}  // namespace
