#include "ui/console_text.h"

#include <gtest/gtest.h>

TEST(ConsoleLines, EveryLineEndsInCrLf)
{
    EXPECT_EQ(consoleLines(L"JNI Fehler: a\nReason: b.\n"), L"JNI Fehler: a\r\nReason: b.\r\n");
    EXPECT_EQ(consoleLines(L"eins\r\nzwei\rdrei"), L"eins\r\nzwei\r\ndrei\r\n");
}

TEST(ConsoleLines, TextWithoutLineEndGetsOne)
{
    EXPECT_EQ(consoleLines(L"Main class in der INI-Datei nicht spezifiziert."),
              L"Main class in der INI-Datei nicht spezifiziert.\r\n");
    EXPECT_EQ(consoleLines(L"\n"), L"\r\n");
}

TEST(ConsoleLines, EmptyStaysEmptyAndOtherTextIsKept)
{
    EXPECT_EQ(consoleLines(L""), L"");
    EXPECT_EQ(consoleLines(L"Größe\t100 %s\n\n"), L"Größe\t100 %s\r\n\r\n");
}
