#include "instance/channel_security.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "support/handle_owners.h"

namespace {

// The SID of the user the process runs as; empty when it cannot be read.
std::vector<std::uint8_t> currentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    KernelHandle ownedToken(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER)) {
        return {};
    }
    std::vector<std::uint8_t> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid)) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(sid);
    return std::vector<std::uint8_t>(bytes, bytes + GetLengthSid(sid));
}

LocalMemory descriptorFrom(const std::wstring& text)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return LocalMemory();
    }
    return LocalMemory(descriptor);
}

}  // namespace

bool ChannelSecurity::build()
{
    userSid_ = currentUserSid();
    if (userSid_.empty()) {
        return false;
    }
    wchar_t* sidText = nullptr;
    if (!ConvertSidToStringSidW(userSid_.data(), &sidText)) {
        return false;
    }
    const std::wstring user = sidText;
    LocalFree(sidText);
    // Protected: nothing is inherited from the namespace's own defaults.
    const std::wstring owned = L"O:" + user + L"D:P(A;;GA;;;" + user + L")";
    descriptor_ = descriptorFrom(owned + L"S:(ML;;NW;;;ME)");
    if (!descriptor_) {
        descriptor_ = descriptorFrom(owned);
    }
    if (!descriptor_) {
        return false;
    }
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_.get();
    attributes_.bInheritHandle = FALSE;
    return true;
}

SECURITY_ATTRIBUTES* ChannelSecurity::attributes()
{
    return descriptor_ ? &attributes_ : nullptr;
}

bool ChannelSecurity::ownedByCurrentUser(HANDLE object) const
{
    if (userSid_.empty()) {
        return false;
    }
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    LocalMemory ownedDescriptor(descriptor);
    return owner != nullptr && EqualSid(owner, const_cast<std::uint8_t*>(userSid_.data()));
}
