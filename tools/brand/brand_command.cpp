#include "brand/brand_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <utility>

#include "brand/branding.h"
#include "brand/icon_images.h"
#include "brand/manifest_level.h"
#include "brand/settings_layer.h"

const char kBrandUsage[] =
    "usage: tarvo-brand --launcher tarvo.exe --output \"Product.exe\" [--icon file.ico|file.png]\n"
    "         [--product-name text] [--company text] [--file-version 1.2.3.4]\n"
    "         [--product-version 1.2] [--description text] [--copyright text]\n"
    "         [--settings file.ini] [--messages messages.txt] [--language 1033]\n"
    "         [--manifest-execution-level asInvoker|highestAvailable|requireAdministrator]\n";

namespace {

namespace fs = std::filesystem;

// Paths arrive as UTF-8 on every system.
fs::path pathOf(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

Bytes readWholeFile(const std::string& name, const char* what)
{
    std::ifstream in(pathOf(name), std::ios::binary);
    if (!in) {
        throw RefusedInput(std::string("cannot read the ") + what + " \"" + name + "\"");
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string textOption(const std::optional<std::string>& value, const std::string& fallback,
                          const char* option)
{
    return utf16FromUtf8(value.value_or(fallback), option);
}

VersionNumber versionOption(const std::optional<std::string>& value, const char* option)
{
    if (!value) {
        return {};
    }
    std::optional<VersionNumber> number = parseVersionNumber(*value);
    if (!number) {
        throw RefusedInput(std::string(option) + " takes up to four numbers 0-65535 joined by dots, not \"" +
                           *value + "\"");
    }
    return *number;
}

std::uint16_t languageOption(const std::string& text)
{
    std::size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value == 0 || value > 0xFFFF) {
        throw RefusedInput("--language takes a language id such as 1033 or 0x0409, not \"" + text + "\"");
    }
    return static_cast<std::uint16_t>(value);
}

bool versionRequested(const BrandOptions& options)
{
    return options.productName || options.company || options.fileVersion || options.productVersion ||
           options.description || options.copyright;
}

VersionInfo versionInfoOf(const BrandOptions& options)
{
    VersionInfo info;
    info.fileVersion = versionOption(options.fileVersion, "--file-version");
    info.productVersion = options.productVersion ? versionOption(options.productVersion, "--product-version")
                                                 : info.fileVersion;
    std::string fileName = pathOf(options.output).filename().string();
    std::string stem = pathOf(options.output).stem().string();
    std::string productName = options.productName.value_or("");
    info.strings = {
        {u"CompanyName", textOption(options.company, "", "--company")},
        {u"FileDescription", textOption(options.description, productName, "--description")},
        {u"FileVersion", textOption(options.fileVersion, "", "--file-version")},
        {u"InternalName", textOption(std::nullopt, stem, "--output")},
        {u"LegalCopyright", textOption(options.copyright, "", "--copyright")},
        {u"OriginalFilename", textOption(std::nullopt, fileName, "--output")},
        {u"ProductName", textOption(options.productName, "", "--product-name")},
        {u"ProductVersion",
         textOption(options.productVersion ? options.productVersion : options.fileVersion, "",
                    "--product-version")},
    };
    return info;
}

void writeReplacing(const std::string& output, const Bytes& bytes)
{
    // Written beside the output and renamed over it: a failed run leaves no
    // half-written executable and an existing one whole.
    fs::path target = pathOf(output);
    fs::path partial = target;
    partial += ".brand-partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            throw std::runtime_error("cannot write \"" + partial.string() + "\"");
        }
    }
    std::error_code error;
    fs::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw std::runtime_error("cannot replace \"" + output + "\": " + error.message());
    }
}

}  // namespace

BrandOptions parseBrandOptions(const std::vector<std::string>& arguments)
{
    BrandOptions options;
    std::optional<std::string> launcher;
    std::optional<std::string> output;
    const std::pair<const char*, std::optional<std::string>*> valued[] = {
        {"--launcher", &launcher},
        {"--output", &output},
        {"--icon", &options.icon},
        {"--product-name", &options.productName},
        {"--company", &options.company},
        {"--file-version", &options.fileVersion},
        {"--product-version", &options.productVersion},
        {"--description", &options.description},
        {"--copyright", &options.copyright},
        {"--settings", &options.settings},
        {"--messages", &options.messages},
        {"--manifest-execution-level", &options.executionLevel},
        {"--language", &options.language},
    };
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        }
        std::optional<std::string>* target = nullptr;
        for (const auto& [name, field] : valued) {
            if (argument == name) {
                target = field;
            }
        }
        if (!target) {
            throw RefusedInput("unknown argument \"" + argument + "\" (see --help)");
        }
        if (*target) {
            throw RefusedInput(argument + " is given twice");
        }
        if (index + 1 >= arguments.size()) {
            throw RefusedInput(argument + " needs a value");
        }
        *target = arguments[++index];
    }
    if (!launcher || !output) {
        throw RefusedInput(std::string(launcher ? "--output" : "--launcher") + " is missing (see --help)");
    }
    if (options.executionLevel && !isExecutionLevel(*options.executionLevel)) {
        throw RefusedInput("--manifest-execution-level is asInvoker, highestAvailable or "
                           "requireAdministrator, not \"" + *options.executionLevel + "\"");
    }
    options.launcher = *launcher;
    options.output = *output;
    return options;
}

int runBrand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors)
{
    try {
        BrandOptions options = parseBrandOptions(arguments);
        if (options.help) {
            out << kBrandUsage;
            return 0;
        }
        std::error_code ignored;
        if (fs::exists(pathOf(options.output), ignored) &&
            fs::equivalent(pathOf(options.output), pathOf(options.launcher), ignored)) {
            throw RefusedInput("--output names the launcher itself; the input is never changed");
        }
        BrandingRequest request;
        if (options.icon) {
            Bytes icon = readWholeFile(*options.icon, "icon");
            request.icon = isPngPicture(icon) ? readPngIcon(icon) : readIconFile(icon);
        }
        if (versionRequested(options)) {
            request.version = versionInfoOf(options);
        }
        if (options.messages) {
            Bytes text = readWholeFile(*options.messages, "messages file");
            request.messages = parseMessagesFile(std::string_view(reinterpret_cast<const char*>(text.data()),
                                                                  text.size()));
        }
        std::vector<std::string> warnings;
        if (options.settings) {
            SettingsLayer layer = prepareSettingsLayer(readWholeFile(*options.settings, "settings file"));
            request.settings = std::move(layer.bytes);
            warnings = std::move(layer.warnings);
        }
        request.executionLevel = options.executionLevel;
        if (options.language) {
            request.language = languageOption(*options.language);
        }
        Bytes launcher = readWholeFile(options.launcher, "launcher");
        Bytes branded = brandLauncher(launcher, std::move(request));
        for (const std::string& warning : warnings) {
            errors << "tarvo-brand: warning: " << *options.settings << ": " << warning << "\n";
        }
        try {
            writeReplacing(options.output, branded);
        } catch (const std::exception& failure) {
            errors << "tarvo-brand: " << failure.what() << "\n";
            return 1;
        }
        return 0;
    } catch (const RefusedInput& refused) {
        errors << "tarvo-brand: " << refused.what() << "\n";
        return 2;
    } catch (const std::bad_alloc&) {
        errors << "tarvo-brand: not enough memory\n";
        return 2;
    }
}
