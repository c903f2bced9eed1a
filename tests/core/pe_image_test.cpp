#include "core/pe_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_paths.h"

namespace {

// A file of given bytes in the temp folder, removed at the end.
class TempFile {
public:
    TempFile(const wchar_t* name, const std::string& bytes)
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + name;
        std::ofstream(std::filesystem::path(path_), std::ios::binary).write(bytes.data(), bytes.size());
    }
    ~TempFile() { DeleteFileW(path_.c_str()); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

std::string imageHeadWithNtOffset(std::uint32_t offset, size_t size)
{
    std::string bytes(size, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i) {
        bytes[0x3C + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
    }
    return bytes;
}

}  // namespace

TEST(PeImageInfo, ReadsMachineAndMagicOfRealImages)
{
    std::optional<PeImageInfo> own = readPeImageInfo(harness::launcherPath());
    ASSERT_TRUE(own.has_value());
    EXPECT_TRUE(own->validImage);
    EXPECT_EQ(own->isPe32Plus, sizeof(void*) == 8);
    EXPECT_EQ(own->machine, sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : kMachineX86);

    std::optional<std::wstring> pairPath = harness::pairLauncherPath();
    if (!pairPath) {
        return;
    }
    std::optional<PeImageInfo> pair = readPeImageInfo(*pairPath);
    ASSERT_TRUE(pair.has_value());
    EXPECT_TRUE(pair->validImage);
    EXPECT_FALSE(pair->isPe32Plus);
    EXPECT_EQ(pair->machine, kMachineX86);
}

TEST(PeImageInfo, FilesThatAreNoImagesGiveNothing)
{
    EXPECT_FALSE(readPeImageInfo(L"C:\\no\\such\\jvm.dll").has_value());
    TempFile empty(L"tarvo-pe-empty.dll", "");
    EXPECT_FALSE(readPeImageInfo(empty.path()).has_value());
    TempFile text(L"tarvo-pe-text.dll", "just some text, not an image at all");
    EXPECT_FALSE(readPeImageInfo(text.path()).has_value());
}

TEST(PeImageInfo, DamagedHeadersAreNeverReadPastTheFile)
{
    // e_lfanew pointing far beyond a 200-byte file.
    TempFile beyond(L"tarvo-pe-beyond.dll", imageHeadWithNtOffset(0x7FFFFFF0, 200));
    EXPECT_FALSE(readPeImageInfo(beyond.path()).has_value());
    // Headers start inside the file but end outside it.
    TempFile cut(L"tarvo-pe-cut.dll", imageHeadWithNtOffset(190, 200));
    EXPECT_FALSE(readPeImageInfo(cut.path()).has_value());
    // Just an MZ stub.
    TempFile stub(L"tarvo-pe-stub.dll", "MZ");
    EXPECT_FALSE(readPeImageInfo(stub.path()).has_value());
}

TEST(PeImageInfo, WrongSignatureIsNotAValidImage)
{
    std::string bytes = imageHeadWithNtOffset(0x80, 0x200);
    bytes.replace(0x80, 4, std::string("NE\0\0", 4));
    TempFile notPe(L"tarvo-pe-ne.dll", bytes);
    std::optional<PeImageInfo> info = readPeImageInfo(notPe.path());
    EXPECT_FALSE(info.has_value() && info->validImage);
}
