// What the real-Java end-to-end tests share: a product whose jre64 is the
// bridge runtime (the machine's JDK 17), the jar of the test programs in
// tests/e2e/java as its class path, and the launcher's standard streams in
// files of the sandbox. The programs report in lines (tarvo/e2e/Report.java)
// that the tests read back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/bridge_runtime.h"
#include "support/java_product.h"

namespace harness {

inline constexpr wchar_t kProgramsJar[] = L"tarvo-e2e.jar";
inline constexpr wchar_t kOutputName[] = L"stdout.txt";
inline constexpr wchar_t kErrorName[] = L"stderr.txt";
// A real JVM takes its time to start under Wine: generous limits.
inline constexpr DWORD kRealRunLimit = 120000;

// The code units of the text as the programs report them: 4 upper-case hex
// digits each, separated by single spaces.
inline std::string unitsOf(std::wstring_view text)
{
    std::string units;
    for (wchar_t unit : text) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%s%04X", units.empty() ? "" : " ",
                      static_cast<unsigned>(unit));
        units += digits;
    }
    return units;
}

class RealJavaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::optional<std::string> problem = realJavaProblem({kProgramsJar})) {
            GTEST_SKIP() << *problem;
        }
        ASSERT_TRUE(product.createWithBridgeRuntime());
        ASSERT_TRUE(installBuiltJar(product.sandbox(), kProgramsJar, L"app.jar"));
        product.captureStandardStreams(kOutputName, kErrorName);
    }

    // The lines of a file of the sandbox, without their line feeds.
    std::vector<std::string> linesOf(std::wstring_view name) const
    {
        return readTestJvmTrace(product.sandbox().pathOf(name));
    }
    std::string textOf(std::wstring_view name) const
    {
        return product.sandbox().readFile(name).value_or("");
    }

    JavaProduct product;
};

}  // namespace harness
