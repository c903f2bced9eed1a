// Where the test runtime's output streams put their bytes: a file opened as
// java/io/FileOutputStream opens it, an in-memory buffer
// (java/io/ByteArrayOutputStream), or one of the process's standard handles
// (the VM's initial System.out and System.err). Files are written at once, so
// a test sees the text even when System.exit ends the process right after.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "support/handle_owners.h"

namespace test_jvm {

class OutputTarget {
public:
    virtual ~OutputTarget() = default;
    virtual void write(std::string_view bytes) = 0;
    // For the trace: the file's path in UTF-8, or what the target is.
    virtual std::string describe() const = 0;
};

class FileTarget : public OutputTarget {
public:
    FileTarget(FileHandle file, std::string utf8Path);
    void write(std::string_view bytes) override;
    std::string describe() const override;

private:
    std::mutex mutex_;
    FileHandle file_;
    std::string utf8Path_;
};

class ByteBufferTarget : public OutputTarget {
public:
    void write(std::string_view bytes) override;
    std::string describe() const override;
    std::string bytes();

private:
    std::mutex mutex_;
    std::string bytes_;
};

// Writes to the handle GetStdHandle gives at the moment of writing; nothing
// when the process has none (a GUI launcher usually has none).
class StandardHandleTarget : public OutputTarget {
public:
    explicit StandardHandleTarget(DWORD which);
    void write(std::string_view bytes) override;
    std::string describe() const override;

private:
    DWORD which_;
};

// Opens the file as java/io/FileOutputStream does: truncated or created, or
// appended to. On failure the target is empty and `reason` holds the
// system's text for the error, as Java puts it in FileNotFoundException.
std::shared_ptr<OutputTarget> openFileTarget(const std::wstring& path, bool append,
                                             std::wstring& reason);

}  // namespace test_jvm
