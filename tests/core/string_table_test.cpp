// The message texts in the built executables, compared with what the user
// must see, character for character.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "support/loaded_library.h"
#include "support/test_paths.h"

namespace {

const std::map<UINT, std::wstring>& expectedTexts()
{
    static const std::map<UINT, std::wstring> texts = {
        {202, L"Windows Fehler: %s (Fehlernummer = %d).\n"},
        {203, L"JNI Fehler: %s\nReason: %s.\n"},
        {204, L"COM Fehler: %s (Fehlernummer = %d).\n"},
        {205, L"JNI Fehler: %s.\n"},
        {206,
         L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
         L"installieren Sie eine JRE mit Server JVM (%s) von:"},
        {207,
         L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
         L"installieren Sie eine JRE (%s) von:"},
        {208, L"konnte den Modulpfad nicht finden"},
        {209, L"Java-Klassenpfad wurde in der INI-Datei nicht angegeben."},
        {210, L"Main class in der INI-Datei nicht spezifiziert."},
        {211, L"Konnte die Main Class: %s nicht laden.\n"},
        {212, L"Kann CreateJavaVM JNI nicht finden"},
        {213, L"konnte die Java VM nicht erzeugen"},
        {214, L"Nach dem JRE-Verzeichnis suchen"},
        {215, L"Konnte die Main class %s nicht finden.\n"},
        {216, L"Keine Main class in der angegebenen Klasse gefunden.\n"},
        {217, L"neueste Version"},
        {218, L"maximum Version %s"},
        {219, L"minimum Version %s"},
        {220, L"Version %s erforderlich"},
        {221, L"Version zwischen %s und %s"},
        {222, L"Konnte Java VM Bibliothek: %s (Fehlernummer= %d) nicht laden.\n"},
        {223, L"konnte nicht initialisieren"},
        {224, L"konnte Modul nicht initialisieren"},
        {225, L"unbekannt"},
        {226, L"Thread von der VM getrennt"},
        {227, L"JNI Versionsfehler"},
        {228, L"nicht gen\u00fcgend Arbeitsspeicher"},
        {229, L"VM bereits erzeugt"},
        {230, L"ung\u00fcltige Argumente"},
        {231, L"Konnte das Programm: %s (Fehlernummer= %d) nicht starten.\n"},
        {232, L"Die Argumente sind zu lang f\u00fcr die \u00dcbergabe an das bereits laufende "
              L"Programm (h\u00f6chstens 1040 Bytes). Sie wurden nicht \u00fcbergeben."},
    };
    return texts;
}

// A module loaded as a data file, so that a 32-bit image can be read by a
// 64-bit test program.
LoadedLibrary resourceModule(const std::wstring& path)
{
    return LoadedLibrary(LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

// Reads one string of the German string table straight from its block: sixteen
// length-prefixed strings per block, block n holding ids (n-1)*16 to n*16-1.
std::optional<std::wstring> germanString(HMODULE module, UINT id)
{
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1),
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    if (!block) {
        return std::nullopt;
    }
    auto data = static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    for (UINT index = 0; index < id % 16; ++index) {
        data += 1 + *data;
    }
    return std::wstring(data + 1, *data);
}

void expectTableIn(const std::wstring& executable)
{
    LoadedLibrary module = resourceModule(executable);
    ASSERT_NE(module.get(), nullptr)
        << "cannot open " << std::string(executable.begin(), executable.end());
    for (const auto& [id, expected] : expectedTexts()) {
        std::optional<std::wstring> stored = germanString(module.get(), id);
        ASSERT_TRUE(stored.has_value()) << "string " << id << " missing from the German table";
        EXPECT_EQ(*stored, expected) << "string " << id;

        // The loader's own path gives the same text.
        wchar_t buffer[512] = {};
        int length = LoadStringW(module.get(), id, buffer, 512);
        EXPECT_EQ(std::wstring(buffer, length), expected) << "string " << id << " via LoadStringW";
    }
    // Nothing beyond the table's ends.
    EXPECT_FALSE(germanString(module.get(), 201).value_or(L"").size());
    EXPECT_FALSE(germanString(module.get(), 233).value_or(L"").size());
}

}  // namespace

TEST(StringTable, LauncherOfThisTreeHoldsEveryTextExactly)
{
    expectTableIn(harness::launcherPath());
}

TEST(StringTable, PairedLauncherHoldsEveryTextExactly)
{
    std::optional<std::wstring> pair = harness::pairLauncherPath();
    if (!pair) {
        GTEST_SKIP() << "this tree was configured without the paired build";
    }
    expectTableIn(*pair);
}
