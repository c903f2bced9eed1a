// tarvo-brand against the platform's own tool: the same inputs branded by
// tarvo-brand and compiled by windres into a launcher linked anew
// (brand-reference.exe, see brand_reference.rc) read the same through the
// Windows functions: the messages, the version information, the icon at
// every size, the embedded settings, the manifest, the names and languages
// of the resources, and both start the product to the same result.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "brand/message_table.h"
#include "brand_checks.h"
#include "support/java_product.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

constexpr wchar_t kProductName[] = L"Sample Editor";

// A launcher loaded for its resources only, freed when the owner ends.
class ResourceModule {
public:
    explicit ResourceModule(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~ResourceModule()
    {
        if (module_) {
            FreeLibrary(module_);
        }
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

std::wstring loadedString(HMODULE module, UINT id)
{
    wchar_t buffer[1024] = {};
    int length = LoadStringW(module, id, buffer, 1024);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

// The bytes of one resource as FindResourceW and LoadResource give them.
std::optional<std::string> resourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type)
{
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return std::nullopt;
    }
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

std::wstring nameOf(const wchar_t* name)
{
    return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(name))
                                : name;
}

BOOL CALLBACK addLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR entries)
{
    reinterpret_cast<std::vector<std::wstring>*>(entries)->push_back(nameOf(name) + L":" +
                                                                     std::to_wstring(language));
    return TRUE;
}

BOOL CALLBACK addLanguagesOfName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR entries)
{
    return EnumResourceLanguagesW(module, type, name, addLanguage, entries);
}

// Every name of the type with its languages, in the order Windows lists them:
// "#1:1033", "SETTINGS:0".
std::vector<std::wstring> namesAndLanguages(HMODULE module, const wchar_t* type)
{
    std::vector<std::wstring> entries;
    EnumResourceNamesW(module, type, addLanguagesOfName, reinterpret_cast<LONG_PTR>(&entries));
    return entries;
}

class BrandedAndReferenceLaunchers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(branded.create(TestJvm::complete, kProductName, L"-branded"));
        ASSERT_TRUE(reference.create(TestJvm::complete, kProductName, L"-reference"));
        for (JavaProduct* product : {&branded, &reference}) {
            ASSERT_TRUE(product->sandbox().writeIni(
                "[Product Information]\r\nProduct Name=Sample Editor\r\n"));
        }
        std::wstring inputs = testProgramFolder();
        std::vector<std::wstring> arguments = {
            L"--launcher", launcherPath(), L"--output", branded.sandbox().executablePath(),
            L"--icon", inputs + L"\\editor.ico", L"--settings", inputs + L"\\brand_reference.ini",
            L"--messages", inputs + L"\\messages-en.txt", L"--manifest-execution-level", L"highestAvailable"};
        std::vector<std::wstring> version = sampleEditorVersionArguments();
        arguments.insert(arguments.end(), version.begin(), version.end());
        brandWithTool(branded.sandbox(), arguments);
        ASSERT_TRUE(CopyFileW(probePath(L"brand-reference.exe").c_str(),
                              reference.sandbox().executablePath().c_str(), FALSE));
    }

    std::wstring brandedPath() const { return branded.sandbox().executablePath(); }
    std::wstring referencePath() const { return reference.sandbox().executablePath(); }

    JavaProduct branded;
    JavaProduct reference;
};

TEST_F(BrandedAndReferenceLaunchers, LoadStringGivesTheSameMessages)
{
    ResourceModule brandedModule(brandedPath());
    ResourceModule referenceModule(referencePath());
    ASSERT_NE(brandedModule.get(), nullptr);
    ASSERT_NE(referenceModule.get(), nullptr);
    for (UINT id = kFirstMessageId; id <= kLastMessageId; ++id) {
        std::wstring text = loadedString(referenceModule.get(), id);
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_EQ(loadedString(brandedModule.get(), id), text) << id;
    }
}

TEST_F(BrandedAndReferenceLaunchers, VersionFunctionsGiveTheSameAnswers)
{
    VersionLibrary version;
    ASSERT_TRUE(version.isLoaded());
    std::vector<std::uint8_t> brandedBlock = version.block(brandedPath());
    std::vector<std::uint8_t> referenceBlock = version.block(referencePath());
    ASSERT_FALSE(brandedBlock.empty());
    ASSERT_FALSE(referenceBlock.empty());

    auto brandedFixed = version.value(brandedBlock, L"\\");
    auto referenceFixed = version.value(referenceBlock, L"\\");
    ASSERT_TRUE(brandedFixed && referenceFixed);
    ASSERT_EQ(brandedFixed->second, sizeof(VS_FIXEDFILEINFO));
    ASSERT_EQ(referenceFixed->second, sizeof(VS_FIXEDFILEINFO));
    // Field by field, so that a difference names the field.
    const auto* brandedFields = static_cast<const DWORD*>(brandedFixed->first);
    const auto* referenceFields = static_cast<const DWORD*>(referenceFixed->first);
    for (std::size_t field = 0; field < sizeof(VS_FIXEDFILEINFO) / sizeof(DWORD); ++field) {
        EXPECT_EQ(brandedFields[field], referenceFields[field]) << "field " << field;
    }
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(referenceFixed->first)->dwFileVersionLS, 7u);

    auto brandedTranslation = version.value(brandedBlock, L"\\VarFileInfo\\Translation");
    auto referenceTranslation = version.value(referenceBlock, L"\\VarFileInfo\\Translation");
    ASSERT_TRUE(brandedTranslation && referenceTranslation);
    ASSERT_EQ(brandedTranslation->second, 4u);
    ASSERT_EQ(referenceTranslation->second, 4u);
    EXPECT_EQ(std::memcmp(brandedTranslation->first, referenceTranslation->first, 4), 0);

    // The strings both write, and the usual ones neither writes.
    const wchar_t* names[] = {L"CompanyName",     L"FileDescription", L"FileVersion",
                              L"InternalName",    L"LegalCopyright",  L"OriginalFilename",
                              L"ProductName",     L"ProductVersion",  L"Comments",
                              L"LegalTrademarks", L"PrivateBuild",    L"SpecialBuild"};
    for (const wchar_t* name : names) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        auto brandedValue = version.value(brandedBlock, path);
        auto referenceValue = version.value(referenceBlock, path);
        ASSERT_EQ(brandedValue.has_value(), referenceValue.has_value()) << name;
        if (referenceValue) {
            EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(brandedValue->first)),
                      std::wstring(static_cast<const wchar_t*>(referenceValue->first)))
                << name;
            EXPECT_EQ(brandedValue->second, referenceValue->second) << name;
        }
    }
}

TEST_F(BrandedAndReferenceLaunchers, IconLoadsWithTheSamePixelsAtEverySize)
{
    ResourceModule brandedModule(brandedPath());
    ResourceModule referenceModule(referencePath());
    ASSERT_NE(brandedModule.get(), nullptr);
    ASSERT_NE(referenceModule.get(), nullptr);
    for (int size : {16, 32, 48, 256}) {
        std::optional<IconPixels> pixels[2];
        HMODULE modules[2] = {brandedModule.get(), referenceModule.get()};
        for (int which = 0; which < 2; ++which) {
            auto icon = static_cast<HICON>(LoadImageW(modules[which], MAKEINTRESOURCEW(1),
                                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(icon, nullptr) << size;
            pixels[which] = iconPixels(icon);
            DestroyIcon(icon);
            ASSERT_TRUE(pixels[which]) << size;
        }
        EXPECT_EQ(pixels[1]->width, size);
        EXPECT_TRUE(*pixels[0] == *pixels[1]) << size;
    }
}

TEST_F(BrandedAndReferenceLaunchers, ResourcesHaveTheSameNamesAndLanguages)
{
    ResourceModule brandedModule(brandedPath());
    ResourceModule referenceModule(referencePath());
    ASSERT_NE(brandedModule.get(), nullptr);
    ASSERT_NE(referenceModule.get(), nullptr);
    for (const wchar_t* type :
         {RT_GROUP_ICON, RT_ICON, RT_VERSION, RT_STRING, RT_RCDATA, RT_MANIFEST, RT_DIALOG}) {
        std::vector<std::wstring> expected = namesAndLanguages(referenceModule.get(), type);
        EXPECT_FALSE(expected.empty()) << nameOf(type);
        EXPECT_EQ(namesAndLanguages(brandedModule.get(), type), expected) << nameOf(type);
    }
}

TEST_F(BrandedAndReferenceLaunchers, EmbeddedSettingsAndManifestAreTheSame)
{
    ResourceModule brandedModule(brandedPath());
    ResourceModule referenceModule(referencePath());
    ASSERT_NE(brandedModule.get(), nullptr);
    ASSERT_NE(referenceModule.get(), nullptr);
    std::optional<std::string> settings =
        resourceBytes(referenceModule.get(), L"SETTINGS", RT_RCDATA);
    ASSERT_TRUE(settings);
    EXPECT_EQ(*settings, fileBytes(testProgramFolder() + L"\\brand_reference.ini"));
    EXPECT_EQ(resourceBytes(brandedModule.get(), L"SETTINGS", RT_RCDATA), settings);

    std::optional<std::string> manifest =
        resourceBytes(referenceModule.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_TRUE(manifest);
    EXPECT_NE(manifest->find("level=\"highestAvailable\""), std::string::npos);
    EXPECT_EQ(resourceBytes(brandedModule.get(), MAKEINTRESOURCEW(1), RT_MANIFEST), manifest);
}

TEST_F(BrandedAndReferenceLaunchers, BothStartTheProductToTheSameResult)
{
    LauncherRun brandedRun = branded.run({L"letter.txt"});
    LauncherRun referenceRun = reference.run({L"letter.txt"});
    EXPECT_TRUE(referenceRun.outcome.finished);
    EXPECT_EQ(referenceRun.outcome.exitCode, 0);
    EXPECT_EQ(referenceRun.boxes, std::vector<std::wstring>{});
    EXPECT_EQ(mainArgumentsFromTrace(referenceRun.trace),
              (std::vector<std::wstring>{L"letter.txt", L"--from-embedded", L"zwei W\u00f6rter"}));
    EXPECT_EQ(brandedRun.outcome.finished, referenceRun.outcome.finished);
    EXPECT_EQ(brandedRun.outcome.exitCode, referenceRun.outcome.exitCode);
    EXPECT_EQ(brandedRun.boxes, referenceRun.boxes);
    EXPECT_EQ(mainArgumentsFromTrace(brandedRun.trace), mainArgumentsFromTrace(referenceRun.trace));

    // A failed start: the same English message in the same box.
    for (JavaProduct* product : {&branded, &reference}) {
        product->environment().set(test_jvm::kCreateResultVariable, L"-4");
    }
    brandedRun = branded.run();
    referenceRun = reference.run();
    EXPECT_EQ(referenceRun.outcome.exitCode, -1);
    EXPECT_EQ(referenceRun.boxes,
              std::vector<std::wstring>{
                  L"JNI error: could not create the Java VM\nReason: not enough memory.\n"});
    EXPECT_EQ(brandedRun.outcome.exitCode, referenceRun.outcome.exitCode);
    EXPECT_EQ(brandedRun.boxes, referenceRun.boxes);
}

}  // namespace
