// What the test runtime's tarvo/test/Throws prints as its stack trace: the
// message and a frame outside the ANSI code page, and one outside the BMP.
#pragma once

#include <string>

#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_text.h"

namespace test_jvm {

inline std::wstring throwsStackTrace()
{
    return L"java.lang.IllegalStateException: " + harness::fromUtf8(kThrowsMessage) + L"\r\n\tat " +
           harness::fromUtf8(kThrowsFrame) +
           L"\r\n\tat tarvo.test.Throws.\U0001D400nfang(Throws.java:7)"
           L"\r\n\tat tarvo.test.Throws.main(Throws.java:3)\r\n";
}

}  // namespace test_jvm
