#include "core/pe_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring testProgramFolder()
{
    std::vector<wchar_t> buffer(32768);
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.rfind(L'\\') + 1);
}

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
    std::optional<PeImageInfo> x64 = readPeImageInfo(testProgramFolder() + L"tarvo.exe");
    ASSERT_TRUE(x64.has_value());
    EXPECT_TRUE(x64->validImage);
    EXPECT_TRUE(x64->isPe32Plus);
    EXPECT_EQ(x64->machine, IMAGE_FILE_MACHINE_AMD64);

#ifdef TARVO_PAIR_BIN_DIR
    std::optional<PeImageInfo> x86 = readPeImageInfo(std::wstring(TARVO_PAIR_BIN_DIR) + L"\\tarvo32.exe");
    ASSERT_TRUE(x86.has_value());
    EXPECT_TRUE(x86->validImage);
    EXPECT_FALSE(x86->isPe32Plus);
    EXPECT_EQ(x86->machine, kMachineX86);
#endif
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
