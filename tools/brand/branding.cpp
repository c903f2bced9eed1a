#include "brand/branding.h"

#include "brand/manifest_level.h"
#include "brand/pe_file.h"
#include "brand/resource_tree.h"

namespace {

// The name the launcher looks its embedded settings up by (FindResourceW).
const ResourceName kSettingsName = ResourceName::named(u"SETTINGS");
constexpr std::uint16_t kVersionId = 1;

void setExecutionLevel(ResourceTree& tree, const std::string& level)
{
    auto manifests = tree.find(ResourceName::number(resource_type::manifest));
    if (manifests == tree.end() || manifests->second.empty()) {
        throw RefusedInput("the launcher has no manifest");
    }
    for (auto& [name, languages] : manifests->second) {
        for (auto& [language, manifest] : languages) {
            manifest.bytes = withExecutionLevel(manifest.bytes, level);
        }
    }
}

}  // namespace

std::uint16_t brandingLanguage(const BrandingRequest& request, const ResourceTree& tree)
{
    if (request.language) {
        return *request.language;
    }
    if (request.messages) {
        return kEnglishUnitedStates;
    }
    return stringTableLanguage(tree).value_or(kEnglishUnitedStates);
}

Bytes brandLauncher(ByteView launcher, BrandingRequest request)
{
    PeLayout layout = readPeLayout(launcher);
    if (isSigned(layout)) {
        throw RefusedInput("the launcher carries an Authenticode signature; brand it before signing");
    }
    ResourceTree tree = readResourceTree(launcher, layout);
    std::uint16_t language = brandingLanguage(request, tree);

    if (request.icon) {
        replaceIconGroup(tree, *request.icon);
    }
    if (request.version) {
        request.version->language = language;
        tree[ResourceName::number(resource_type::version)] = {
            {ResourceName::number(kVersionId), {{language, {buildVersionResource(*request.version), 0}}}}};
    }
    if (request.messages) {
        checkMessages(*request.messages, readStringTable(tree));
        replaceStringTable(tree, *request.messages, language);
    }
    if (request.settings) {
        tree[ResourceName::number(resource_type::rcdata)][kSettingsName] = {{0, {*request.settings, 0}}};
    }
    if (request.executionLevel) {
        setExecutionLevel(tree, *request.executionLevel);
    }
    return withResourceSection(launcher, layout, [&](std::uint32_t sectionAddress) {
        return layOutResourceSection(tree, sectionAddress);
    });
}
