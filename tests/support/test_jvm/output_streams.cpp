#include "support/test_jvm/output_streams.h"

#include "support/test_jvm/trace.h"

namespace test_jvm {

namespace {

void writeAll(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written == 0) {
            return;
        }
        bytes.remove_prefix(written);
    }
}

// The system's message for an error code without its line end and final
// period, as Java's FileNotFoundException quotes it.
std::wstring systemErrorText(DWORD error)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text =
        length != 0 ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

FileTarget::FileTarget(FileHandle file, std::string utf8Path)
    : file_(std::move(file)), utf8Path_(std::move(utf8Path))
{
}

void FileTarget::write(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    writeAll(file_.get(), bytes);
}

std::string FileTarget::describe() const
{
    return utf8Path_;
}

void ByteBufferTarget::write(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    bytes_ += bytes;
}

std::string ByteBufferTarget::describe() const
{
    return "(byte array)";
}

std::string ByteBufferTarget::bytes()
{
    std::lock_guard lock(mutex_);
    return bytes_;
}

StandardHandleTarget::StandardHandleTarget(DWORD which) : which_(which) {}

void StandardHandleTarget::write(std::string_view bytes)
{
    HANDLE handle = GetStdHandle(which_);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        writeAll(handle, bytes);
    }
}

std::string StandardHandleTarget::describe() const
{
    return which_ == STD_OUTPUT_HANDLE ? "(standard output)" : "(standard error)";
}

std::shared_ptr<OutputTarget> openFileTarget(const std::wstring& path, bool append,
                                             std::wstring& reason)
{
    // Appending opens for appending only, so every write lands at the end.
    FileHandle file(CreateFileW(
        path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        reason = systemErrorText(error);
        return nullptr;
    }
    return std::make_shared<FileTarget>(std::move(file), utf8FromWide(path));
}

}  // namespace test_jvm
