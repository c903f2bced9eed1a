#include "config/embedded_settings.h"

#include <climits>
#include <optional>
#include <string_view>
#include <utility>

#include "config/embedded_settings_text.h"
#include "config/ini_text.h"

namespace {

constexpr wchar_t embeddedSettingsName[] = L"SETTINGS";

// The resource's bytes; they stay mapped as long as the module is loaded, so
// nothing is released here.
std::optional<std::string_view> embeddedSettingsBytes(HMODULE module)
{
    HRSRC resource = FindResourceW(module, embeddedSettingsName, RT_RCDATA);
    if (!resource) {
        return std::nullopt;
    }
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return std::nullopt;
    }
    return std::string_view(static_cast<const char*>(data), size);
}

std::wstring textFromUtf8(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX) {
        return {};
    }
    int byteCount = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length), L'\0');
    length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount, text.data(), length);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring decodeEmbeddedText(std::string_view bytes)
{
    EmbeddedTextBytes classified = classifyEmbeddedText(bytes);
    switch (classified.encoding) {
        case EmbeddedTextEncoding::utf8:
            return textFromUtf8(classified.text);
        case EmbeddedTextEncoding::utf16LittleEndian:
            return textFromUtf16LittleEndian(classified.text);
        case EmbeddedTextEncoding::unsupported:
            break;
    }
    return {};
}

}  // namespace

MemorySettingsStore readEmbeddedSettings(HMODULE module)
{
    std::optional<std::string_view> bytes = embeddedSettingsBytes(module);
    if (!bytes) {
        return {};
    }
    std::wstring text = decodeEmbeddedText(*bytes);
    return parseIniText(textBeforeFirstZero(text));
}

LayeredSettingsStore openLayeredSettings(std::wstring settingsFile)
{
    return LayeredSettingsStore(std::move(settingsFile),
                                readEmbeddedSettings(GetModuleHandleW(nullptr)));
}
