// Fresh temp folders, raw file contents and environment variables for the
// settings tests, each put back as it was.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/sandbox.h"

// A new, empty folder under the temp folder, removed with everything in it at
// the end of the test.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t temp[MAX_PATH + 1];
        DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        std::wstring base(temp, length);
        for (unsigned attempt = 0;; ++attempt) {
            path_ = base + L"tarvo-config-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(nextNumber()) + L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(path_.c_str(), nullptr)) {
                return;
            }
        }
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

private:
    static unsigned nextNumber()
    {
        static unsigned number = 0;
        return ++number;
    }
    std::wstring path_;
};

// Test files go through the harness, which takes paths of any length; a file
// that cannot be written fails the test that needed it.
inline void writeFileBytes(const std::wstring& path, std::string_view bytes)
{
    EXPECT_TRUE(harness::writeFileBytes(path, bytes)) << "could not write the test file";
}
using harness::readFileBytes;

// UTF-16LE text with its byte-order mark, as Notepad saves "Unicode".
inline void writeUtf16File(const std::wstring& path, std::wstring_view text)
{
    std::string bytes("\xFF\xFE");
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    writeFileBytes(path, bytes);
}

// The test program stands in for the launcher: its own path decides the
// settings file names.
inline std::wstring testProgramPath()
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

inline bool folderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline bool fileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Sets a variable of this process for one test and puts the old value back
// (or removes the variable again when it was not set).
class EnvironmentVariableGuard {
public:
    EnvironmentVariableGuard(std::wstring name, const wchar_t* value) : name_(std::move(name))
    {
        DWORD size = GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
        if (size != 0) {
            std::vector<wchar_t> buffer(size);
            DWORD length = GetEnvironmentVariableW(name_.c_str(), buffer.data(), size);
            oldValue_ = std::wstring(buffer.data(), length);
        }
        SetEnvironmentVariableW(name_.c_str(), value);
    }
    ~EnvironmentVariableGuard()
    {
        SetEnvironmentVariableW(name_.c_str(), oldValue_ ? oldValue_->c_str() : nullptr);
    }
    EnvironmentVariableGuard(const EnvironmentVariableGuard&) = delete;
    EnvironmentVariableGuard& operator=(const EnvironmentVariableGuard&) = delete;

private:
    std::wstring name_;
    std::optional<std::wstring> oldValue_;
};
