// The first instance's side of the channel in this process, with a stand-in
// VM that only counts who attaches to it: what a later start is told once
// its arguments are copied, and that no request reaches a VM that is gone.
#include "instance/single_instance_channel.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <optional>

#include "instance/channel_names.h"
#include "instance/executable_identity.h"
#include "support/polling.h"

using namespace harness;

namespace {

constexpr DWORD kAnswerLimit = 20000;

std::atomic<int> attachCalls{0};

jint JNICALL countAttach(JavaVM*, void** environment, void*)
{
    ++attachCalls;
    // What a destroyed VM answers.
    *environment = nullptr;
    return JNI_ERR;
}

std::wstring ownExecutable()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

class SingleInstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        attachCalls = 0;
        table_.AttachCurrentThread = countAttach;
        javaVm_.functions = &table_;
        settings_.singleInstance = true;
        settings_.mainClass = L"tarvo/test/SecondaryInt";
        std::optional<ChannelNames> names =
            channelNamesFor(normalizedExecutablePath(ownExecutable()));
        ASSERT_TRUE(names);
        names_ = *names;
        // This thread plays the later start: its queue takes the answers.
        MSG message;
        PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        // And this process is the first instance.
        ASSERT_TRUE(channel_.setUp(settings_, ownExecutable(), {}));
        ASSERT_TRUE(channel_.isFirstInstance());
    }

    // Hands the arguments over as a later start does: packs them and posts.
    bool handOver(const std::vector<std::wstring>& arguments)
    {
        KernelHandle mapping(OpenFileMappingW(FILE_MAP_WRITE, FALSE, names_.channel.c_str()));
        if (!mapping) {
            return false;
        }
        MappedInstanceRecord record;
        if (!mapInstanceRecord(mapping.get(), record) || !packArguments(arguments, *record.get())) {
            return false;
        }
        listenerThreadId_ = record.get()->listenerThreadId;
        messageId_ = record.get()->messageId;
        return PostThreadMessageW(listenerThreadId_, messageId_, GetCurrentThreadId(), 0) != FALSE;
    }

    // The first message with the id, removed from the queue; none at the limit.
    static std::optional<MSG> waitForMessage(UINT id)
    {
        MSG message{};
        auto arrived = [&] { return PeekMessageW(&message, nullptr, id, id, PM_REMOVE) != FALSE; };
        if (!pollUntil(arrived, kAnswerLimit, 10)) {
            return std::nullopt;
        }
        return message;
    }

    std::optional<int> waitForAnswer()
    {
        std::optional<MSG> answer = waitForMessage(messageId_);
        if (!answer) {
            return std::nullopt;
        }
        return static_cast<int>(static_cast<DWORD>(answer->wParam));
    }

    JNIInvokeInterface_ table_{};
    JavaVM javaVm_{};
    LauncherSettings settings_;
    ChannelNames names_;
    DWORD listenerThreadId_ = 0;
    UINT messageId_ = 0;
    SingleInstanceChannel channel_;
};

TEST_F(SingleInstanceChannelTest, TheFirstInstanceConfirmsTheCopyBeforeItAnswers)
{
    ASSERT_TRUE(handOver({L"document.txt"}));
    // The VM does not exist yet, so there is no answer, but the record is free.
    const UINT copied = RegisterWindowMessageW(names_.copiedMessage.c_str());
    ASSERT_NE(copied, 0u);
    EXPECT_TRUE(waitForMessage(copied)) << "the copy was not confirmed";
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, messageId_, messageId_, PM_REMOVE));
    channel_.closeChannel();
}

// The moment DestroyJavaVM returns, a request is answered at once and the
// VM is never attached to.
TEST_F(SingleInstanceChannelTest, ARequestAfterTheVmIsDestroyedIsRefused)
{
    channel_.signalReady(&javaVm_);
    // What the launcher's end does right after DestroyJavaVM.
    channel_.refuseHandovers();
    ASSERT_TRUE(handOver({L"late.txt"}));
    EXPECT_EQ(waitForAnswer(), -1);
    EXPECT_EQ(attachCalls.load(), 0);
    channel_.closeChannel();
    EXPECT_EQ(attachCalls.load(), 0);
}

// A request still queued when the channel closes is answered, not dropped,
// and so is one whose thread waited for a VM that never came.
TEST_F(SingleInstanceChannelTest, RequestsPendingAtTheEndAreAnswered)
{
    ASSERT_TRUE(handOver({L"waiting.txt"}));
    // The handover thread waits for the ready event; the channel closes.
    const UINT copied = RegisterWindowMessageW(names_.copiedMessage.c_str());
    ASSERT_TRUE(waitForMessage(copied));
    ASSERT_TRUE(handOver({L"queued.txt"}));
    channel_.closeChannel();
    EXPECT_EQ(waitForAnswer(), -1);
    EXPECT_EQ(waitForAnswer(), -1);
    EXPECT_EQ(attachCalls.load(), 0);
}

}  // namespace
