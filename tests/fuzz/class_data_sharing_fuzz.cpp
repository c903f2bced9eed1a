// libFuzzer harness for the class-data-sharing rules that read text from the
// settings: recognising the JVM's own sharing options among the "Virtual
// Machine Parameters", and what the archive's name is made of. An option is
// recognised by its start alone, so text after it never changes the answer;
// a name always has the launcher's shape and is told apart from itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "vm/class_data_sharing_rules.h"
#include "vm/vm_parameter_text.h"

namespace {

void checkOption(const std::wstring& option)
{
    const bool recognised = isClassDataSharingOption(option);
    if (recognised) {
        FUZZ_CHECK(option.starts_with(L"-Xshare") || option.starts_with(L"-XX:"));
        // What follows a value changes nothing.
        if (option.find(L'=') != std::wstring::npos) {
            FUZZ_CHECK(isClassDataSharingOption(option + L"x=y"));
        }
    }
    if (!option.starts_with(L"-")) {
        FUZZ_CHECK(!recognised);
    }
    FUZZ_CHECK(isClassDataSharingOption(L"-Xshare:" + option));
    FUZZ_CHECK(isClassDataSharingOption(L"-XX:SharedArchiveFile=" + option));
    FUZZ_CHECK(!isClassDataSharingOption(L"-D" + option));
}

void checkName(FuzzInput& input, const std::wstring& text)
{
    ArchiveKey key;
    const std::size_t cut = text.size() / 2;
    key.runtimeHome = text.substr(0, cut);
    key.mainClass = text.substr(cut);
    key.runtimeVersion.parts[0] = static_cast<std::int32_t>(input.number(1));
    key.classPath.push_back({text, input.number(8), input.number(8)});
    const std::wstring name = archiveFileName(key);
    FUZZ_CHECK(name.size() == 41);
    FUZZ_CHECK(!isOlderArchiveOfSameRuntime(name, name));
    FUZZ_CHECK(!isOlderArchiveOfSameRuntime(temporaryArchiveName(name), name));
    ArchiveKey other = key;
    other.classPath[0].size += 1;
    const std::wstring otherName = archiveFileName(other);
    FUZZ_CHECK(isOlderArchiveOfSameRuntime(otherName, name) == (otherName != name));
    FUZZ_CHECK(!isOlderArchiveOfSameRuntime(text, name) || text.starts_with(L"cds-"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t control = input.byte();
    std::wstring text = input.rest();
    checkOption(text);
    for (std::wstring& token : splitVmParameters(text)) {
        stripQuotes(token);
        checkOption(token);
    }
    for (const std::wstring& entry : classPathEntries(text)) {
        FUZZ_CHECK(!entry.empty() && entry.find(L';') == std::wstring::npos);
    }
    FuzzInput again(data, size);
    static_cast<void>(again.byte());
    if (control & 1) {
        checkName(again, text);
    }
    return 0;
}
