#include "core/pe_image.h"

#include "support/handle_owners.h"
#include "support/loaded_library.h"

namespace {

using ImageNtHeaderFunction = PIMAGE_NT_HEADERS(WINAPI*)(PVOID base);

// ImageNtHeader trusts e_lfanew; a truncated or damaged file must not make the
// launcher read past the end of the view.
bool ntHeadersInsideFile(const BYTE* base, ULONGLONG fileSize)
{
    if (fileSize < sizeof(IMAGE_DOS_HEADER)) {
        return false;
    }
    auto dosHeader = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    LONG offset = dosHeader->e_lfanew;
    return offset >= 0 && static_cast<ULONGLONG>(offset) + sizeof(DWORD) +
                                  sizeof(IMAGE_FILE_HEADER) + sizeof(WORD) <=
                              fileSize;
}

}  // namespace

std::optional<PeImageInfo> readPeImageInfo(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file.get(), &fileSize)) {
        return std::nullopt;
    }
    const KernelHandle mapping(
        CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) {
        return std::nullopt;
    }
    const MappedView<const BYTE> view(
        static_cast<const BYTE*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0)));
    if (!view) {
        return std::nullopt;
    }
    const BYTE* base = view.get();
    if (base[0] != 'M' || base[1] != 'Z' ||
        !ntHeadersInsideFile(base, static_cast<ULONGLONG>(fileSize.QuadPart))) {
        return std::nullopt;
    }

    const LoadedLibrary dbghelp(loadSystemLibrary(L"Dbghelp.dll"));
    ImageNtHeaderFunction imageNtHeader = nullptr;
    if (!lookUp(dbghelp.get(), "ImageNtHeader", imageNtHeader)) {
        return std::nullopt;
    }
    const IMAGE_NT_HEADERS* headers = imageNtHeader(const_cast<BYTE*>(base));
    if (!headers) {
        return std::nullopt;
    }

    PeImageInfo info;
    info.validImage = headers->Signature == IMAGE_NT_SIGNATURE;
    info.machine = headers->FileHeader.Machine;
    info.isPe32Plus =
        info.validImage && headers->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    return info;
}
