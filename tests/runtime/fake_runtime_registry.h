// An in-memory stand-in for the machine's runtime keys that notes every key
// listed and every "JavaHome" read.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/runtime_registry.h"
#include "runtime/runtime_vendor_keys.h"

class FakeRuntimeRegistry final : public RuntimeRegistry {
public:
    // A version subkey of the vendor key with that number (1 to 7); nothing
    // for javaHome leaves the value out.
    void addRuntime(int keyNumber, std::wstring subkey, std::optional<std::wstring> javaHome,
                    RegistryView view = RegistryView::defaultView)
    {
        keys_[{view, std::wstring(vendorKey(keyNumber).path)}].push_back(
            {std::move(subkey), std::move(javaHome)});
    }

    std::vector<std::wstring> listSubkeyNames(std::wstring_view key, RegistryView view) override
    {
        listed_.push_back(keyNumberOf(key));
        std::vector<std::wstring> names;
        if (auto found = keys_.find({view, std::wstring(key)}); found != keys_.end()) {
            for (const Subkey& subkey : found->second) {
                names.push_back(subkey.name);
            }
        }
        return names;
    }

    std::optional<std::wstring> readJavaHome(std::wstring_view key, std::wstring_view subkey,
                                             RegistryView view) override
    {
        read_.push_back(std::wstring(key) + std::wstring(subkey));
        if (auto found = keys_.find({view, std::wstring(key)}); found != keys_.end()) {
            for (const Subkey& entry : found->second) {
                if (entry.name == subkey) {
                    return entry.javaHome;
                }
            }
        }
        return std::nullopt;
    }

    // The numbers of the vendor keys listed, in the order they were listed.
    const std::vector<int>& listedKeys() const { return listed_; }
    // The full paths of the version subkeys whose "JavaHome" was read.
    const std::vector<std::wstring>& readSubkeys() const { return read_; }

    static const RuntimeVendorKey& vendorKey(int keyNumber)
    {
        return kRuntimeVendorKeys.at(static_cast<std::size_t>(keyNumber - 1));
    }

private:
    struct Subkey {
        std::wstring name;
        std::optional<std::wstring> javaHome;
    };

    static int keyNumberOf(std::wstring_view key)
    {
        for (std::size_t index = 0; index < kRuntimeVendorKeys.size(); ++index) {
            if (kRuntimeVendorKeys[index].path == key) {
                return static_cast<int>(index) + 1;
            }
        }
        return 0;
    }

    std::map<std::pair<RegistryView, std::wstring>, std::vector<Subkey>> keys_;
    std::vector<int> listed_;
    std::vector<std::wstring> read_;
};
