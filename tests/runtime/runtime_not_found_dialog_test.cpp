// The runtime-not-found dialog in this process, its folder browser replaced
// by a list of answers: which folders make OK available, what the dialog
// hands back, where it opens, and the link's cursor (a cursor handle means
// something only inside the process that loaded it).
#include "runtime/runtime_not_found_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "config/launcher_settings.h"
#include "runtime/runtime_dialog_ids.h"
#include "runtime_folders.h"
#include "support/polling.h"
#include "support/ui_driver.h"

namespace {

constexpr DWORD kLimit = 10000;

// The dialog shown on a thread of its own, as the launcher's main thread
// shows it; the test drives it from outside. Cancelled if still open at the end.
class ShownDialog {
public:
    ShownDialog(int jvmType, std::deque<std::optional<std::wstring>> picks, HWND owner = nullptr)
        : picks_(std::move(picks)),
          dialog_(L"Kein Java", jvmType,
                  [this](HWND) {
                      std::optional<std::wstring> pick = picks_.front();
                      picks_.pop_front();
                      return pick;
                  }),
          thread_([this, owner] {
              result_ = dialog_.show(owner);
              finished_ = true;
          })
    {
        // Shown, that is past its initialisation.
        waitHandlingMessages([this] {
            window_ = FindWindowW(harness::kDialogClass, L"JRE nicht gefunden");
            return window_ != nullptr && IsWindowVisible(window_);
        });
    }
    ~ShownDialog()
    {
        if (!finished_ && window_ != nullptr) {
            PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
        }
        waitHandlingMessages([this] { return finished_.load(); });
        thread_.join();
    }

    HWND window() const { return window_; }
    RuntimeNotFoundDialog& dialog() { return dialog_; }

    // Presses "Durchsuche..."; the next answer stands for the browser.
    void browse() const
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_RUNTIME, BN_CLICKED), 0);
    }
    bool okEnabled() const { return IsWindowEnabled(GetDlgItem(window_, IDOK)) != FALSE; }
    std::wstring folderText() const
    {
        return harness::windowText(GetDlgItem(window_, IDC_RUNTIME_FOLDER));
    }

    // Ends the dialog with the button and gives the dialog's result.
    INT_PTR close(int button)
    {
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        EXPECT_TRUE(waitHandlingMessages([this] { return finished_.load(); }));
        return result_;
    }

private:
    // Polls up to the limit, handling this thread's messages before each
    // look: the dialog may send to an owner window of this thread.
    static bool waitHandlingMessages(const std::function<bool()>& condition)
    {
        auto handledThenLooked = [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            return condition();
        };
        return harness::pollUntil(handledThenLooked, kLimit, 20);
    }

    std::deque<std::optional<std::wstring>> picks_;
    RuntimeNotFoundDialog dialog_;
    std::atomic<INT_PTR> result_ = 0;
    std::atomic<bool> finished_ = false;
    std::thread thread_;
    HWND window_ = nullptr;
};

class RuntimeNotFoundDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folders.created());
        serverHome = folders.makeHome(L"server", {kJavaDllFile, kServerJvmFile});
        clientHome = folders.makeHome(L"client", {kJavaDllFile, kClientJvmFile});
        jdkHome = folders.makeHome(L"jdk", {L"jre\\bin\\java.dll", L"jre\\bin\\server\\jvm.dll"});
        emptyHome = folders.makeHome(L"empty", {L"readme.txt"});
    }

    RuntimeFolders folders;
    std::wstring serverHome;
    std::wstring clientHome;
    std::wstring jdkHome;
    std::wstring emptyHome;
};

TEST_F(RuntimeNotFoundDialogTest, TheJvmTypeDecidesWhichFoldersEnableOk)
{
    struct Case {
        const char* name;
        int jvmType;
        std::wstring folder;
        bool accepted;
    };
    const Case cases[] = {
        {"client only, any JVM", kAnyJvm, clientHome, true},
        {"client only, server only", kServerJvmOnly, clientHome, false},
        {"client only, server favoured", kServerJvmFavored, clientHome, true},
        {"server, server only", kServerJvmOnly, serverHome, true},
        {"a JDK's top folder", kAnyJvm, jdkHome, false},
        {"the JDK's jre folder", kAnyJvm, jdkHome + L"\\jre", true},
        {"no runtime", kAnyJvm, emptyHome, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ShownDialog shown(test.jvmType, {test.folder});
        ASSERT_NE(shown.window(), nullptr);
        EXPECT_FALSE(shown.okEnabled());
        shown.browse();
        EXPECT_EQ(shown.folderText(), test.folder);
        EXPECT_EQ(shown.okEnabled(), test.accepted);
        EXPECT_EQ(shown.dialog().chosenFolder(), test.folder + L"\\");
        EXPECT_EQ(shown.dialog().foundJvmLibrary().empty(), !test.accepted);
    }
}

TEST_F(RuntimeNotFoundDialogTest, EachPickDecidesAnewAndACancelledOneChangesNothing)
{
    ShownDialog shown(kAnyJvm, {serverHome, std::nullopt, emptyHome, clientHome + L"\\", L""});
    ASSERT_NE(shown.window(), nullptr);
    shown.browse();
    EXPECT_TRUE(shown.okEnabled());
    EXPECT_EQ(shown.dialog().foundJvmLibrary(), serverHome + L"\\bin\\server\\jvm.dll");

    shown.browse();  // cancelled
    EXPECT_TRUE(shown.okEnabled());
    EXPECT_EQ(shown.folderText(), serverHome);

    shown.browse();
    EXPECT_FALSE(shown.okEnabled());
    EXPECT_EQ(shown.folderText(), emptyHome);
    EXPECT_EQ(shown.dialog().foundJvmLibrary(), L"");

    // A folder that already ends with a backslash keeps just the one.
    shown.browse();
    EXPECT_TRUE(shown.okEnabled());
    EXPECT_EQ(shown.dialog().chosenFolder(), clientHome + L"\\");
    EXPECT_EQ(shown.dialog().foundJvmLibrary(), clientHome + L"\\bin\\client\\jvm.dll");

    // A pick that is no file-system folder is not looked into (an empty
    // folder would mean the current folder).
    shown.browse();
    EXPECT_FALSE(shown.okEnabled());
    EXPECT_EQ(shown.dialog().chosenFolder(), L"");
    EXPECT_EQ(shown.dialog().foundJvmLibrary(), L"");
    EXPECT_EQ(shown.close(IDCANCEL), IDCANCEL);
}

TEST_F(RuntimeNotFoundDialogTest, OkIsAcceptedOnlyWithAJvmLibrary)
{
    ShownDialog shown(kAnyJvm, {emptyHome, serverHome});
    ASSERT_NE(shown.window(), nullptr);
    // Enter or a command sent while OK is unavailable does not end the dialog.
    SendMessageW(shown.window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowVisible(shown.window()));
    shown.browse();
    SendMessageW(shown.window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowVisible(shown.window()));
    shown.browse();
    EXPECT_EQ(shown.close(IDOK), IDOK);
    EXPECT_EQ(shown.dialog().foundJvmLibrary(), serverHome + L"\\bin\\server\\jvm.dll");
    EXPECT_EQ(shown.dialog().chosenFolder(), serverHome + L"\\");
}

TEST_F(RuntimeNotFoundDialogTest, OpensCentredOnAVisibleOwner)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60,
                                 500, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        ShownDialog shown(kAnyJvm, {}, owner);
        ASSERT_NE(shown.window(), nullptr);
        RECT dialog = harness::windowRect(shown.window());
        RECT ownerRect = harness::windowRect(owner);
        EXPECT_LE(std::abs((dialog.left + dialog.right) - (ownerRect.left + ownerRect.right)), 2);
        EXPECT_LE(std::abs((dialog.top + dialog.bottom) - (ownerRect.top + ownerRect.bottom)), 2);
    }
    DestroyWindow(owner);
}

TEST_F(RuntimeNotFoundDialogTest, TheCursorOverTheLinkTextIsTheHand)
{
    ShownDialog shown(kAnyJvm, {});
    ASSERT_NE(shown.window(), nullptr);
    ASSERT_TRUE(harness::bringToFront(shown.window()));
    RECT link = harness::windowRect(GetDlgItem(shown.window(), IDC_DOWNLOAD_LINK));
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursorPos(link.left + 10, link.bottom + 25);
    EXPECT_TRUE(harness::pollUntil([&] { return harness::shownCursor() == arrow; }, kLimit));
    SetCursorPos(link.left + 10, (link.top + link.bottom) / 2);
    EXPECT_TRUE(harness::pollUntil([&] { return harness::shownCursor() == hand; }, kLimit))
        << "not the hand";
    SetCursorPos(link.left + 10, link.bottom + 25);
    EXPECT_TRUE(harness::pollUntil([&] { return harness::shownCursor() == arrow; }, kLimit));
}

}  // namespace
