// Runtime home folders laid out in a test's sandbox: empty files stand for
// java.dll and the JVM libraries, which is all the probe looks at.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "support/sandbox.h"

inline constexpr std::wstring_view kJavaDllFile = L"bin\\java.dll";
inline constexpr std::wstring_view kServerJvmFile = L"bin\\server\\jvm.dll";
inline constexpr std::wstring_view kClientJvmFile = L"bin\\client\\jvm.dll";

class RuntimeFolders {
public:
    RuntimeFolders() { created_ = sandbox_.createEmpty(); }
    bool created() const { return created_; }

    // A home folder below the sandbox holding the given files; its full path
    // without a trailing backslash, as installers register it.
    std::wstring makeHome(std::wstring_view name, std::initializer_list<std::wstring_view> files)
    {
        for (std::wstring_view file : files) {
            const std::wstring relative = std::wstring(name) + L"\\" + std::wstring(file);
            EXPECT_TRUE(sandbox_.writeFile(relative, "")) << "cannot lay out the runtime folder";
        }
        return sandbox_.pathOf(name);
    }

    std::wstring pathOf(std::wstring_view relativePath) const
    {
        return sandbox_.pathOf(relativePath);
    }
    harness::ProductSandbox& sandbox() { return sandbox_; }

private:
    harness::ProductSandbox sandbox_;
    bool created_ = false;
};
