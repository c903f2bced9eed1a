#include "ui/error_reporter.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace {
constexpr UINT kLongTestText = 900;  // error_reporter_test.rc
}

TEST(ErrorReporterLoadText, TextLongerThanTheFirstBufferIsLoadedWhole)
{
    std::wstring text = ErrorReporter::loadText(kLongTestText);
    ASSERT_GT(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 18), L"Dieser Text ist l\u00e4");
    EXPECT_EQ(text.substr(text.size() - 6), L" Ende.");
    EXPECT_EQ(text.find(L'\0'), std::wstring::npos);
}

TEST(ErrorReporterLoadText, TableTextsKeepTheirLineFeeds)
{
    EXPECT_EQ(ErrorReporter::loadText(IDS_JNI_ERROR_REASON), L"JNI Fehler: %s\nReason: %s.\n");
    EXPECT_EQ(ErrorReporter::loadText(IDS_JNI_REASON_NO_MEMORY),
              L"nicht gen\u00fcgend Arbeitsspeicher");
}

TEST(ErrorReporterLoadText, MissingIdGivesEmptyText)
{
    EXPECT_EQ(ErrorReporter::loadText(199), L"");
}
