// The splash screen in this process: the own window's place, size, styles and
// pixels for PNG and BMP pictures, the settings that switch the shadow and the
// runtime's library, the test runtime's splash library called in order, and
// closing. Real windows on the test display.
#include "splash/splash_screen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/settings_store.h"
#include "splash/splash_checks.h"
#include "splash/test_pictures.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_text.h"

using namespace harness;
using namespace splash_test;

namespace {

class SplashInProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.createEmpty());
        settingsFile = sandbox.pathOf(L"product.ini");
        runtimeHome = sandbox.pathOf(L"rt");
        jvmLibrary = runtimeHome + L"\\bin\\server\\jvm.dll";
        trace = sandbox.pathOf(L"trace.txt");
        // The test splash library traces into the file this process names.
        ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kTraceVariable, trace.c_str()));
    }

    void TearDown() override
    {
        splash.closeSplashWindow();
        SetEnvironmentVariableW(test_jvm::kTraceVariable, nullptr);
    }

    void writeDisplay(const std::string& keys)
    {
        ASSERT_TRUE(sandbox.writeFile(L"product.ini", "[Display]\r\n" + keys));
    }

    // Writes the picture and names it in the settings with the further keys.
    void usePicture(const std::wstring& fileName, const std::string& bytes,
                    const std::string& moreKeys = "")
    {
        ASSERT_TRUE(sandbox.writeFile(fileName, bytes));
        writeDisplay("Splash Screen=" + toUtf8(sandbox.pathOf(fileName)) + "\r\n" + moreKeys);
    }

    // The "Display" keys of the settings file, read from the file alone as
    // the launcher reads them.
    void startSplash()
    {
        IniSettingsStore file(settingsFile);
        SplashSettings display{file.readSetting(L"Display", L"Splash Screen"),
                               file.readSetting(L"Display", L"Splash Screen Shadow"),
                               file.readSetting(L"Display", L"Preffer Native Splash Screen")};
        splash.startSplash(display, jvmLibrary);
    }

    HWND shownSplashWindow()
    {
        std::optional<HWND> window = waitForSplashWindow(GetCurrentProcessId());
        EXPECT_TRUE(window) << "no SplashScreenWindow appeared";
        return window.value_or(nullptr);
    }

    // The window at the rectangle given shows exactly the picture.
    void expectShowsPicture(HWND window, const Image& picture, const RECT& expected)
    {
        RECT shown{};
        ASSERT_TRUE(GetWindowRect(window, &shown));
        EXPECT_EQ(shown.left, expected.left);
        EXPECT_EQ(shown.top, expected.top);
        EXPECT_EQ(shown.right, expected.right);
        EXPECT_EQ(shown.bottom, expected.bottom);
        RECT onScreen = {std::max(expected.left, 0L), std::max(expected.top, 0L),
                         std::min<LONG>(expected.right, GetSystemMetrics(SM_CXSCREEN)),
                         std::min<LONG>(expected.bottom, GetSystemMetrics(SM_CYSCREEN))};
        EXPECT_EQ(pixelsDifferingFromPicture(picture, expected.left, expected.top, onScreen), 0);
    }

    ProductSandbox sandbox;
    std::wstring settingsFile;
    std::wstring runtimeHome;
    std::wstring jvmLibrary;
    std::wstring trace;
    SplashScreen splash;
};

TEST_F(SplashInProcess, PngPictureFillsABorderlessToolWindowInTheScreenCentre)
{
    Image picture = quadrantPicture(301, 201);
    usePicture(L"splash.png", pngFileBytes(picture));
    startSplash();
    HWND window = shownSplashWindow();
    ASSERT_NE(window, nullptr);

    expectShowsPicture(window, picture, {361, 283, 662, 484});
    saveSplashScreenshot(L"splash-in-process-png", window);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    DWORD extendedStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0u);
    EXPECT_TRUE(extendedStyle & WS_EX_TOOLWINDOW) << "the window would get a taskbar button";
    EXPECT_EQ(extendedStyle & (WS_EX_TOPMOST | WS_EX_LAYERED), 0u);
    EXPECT_EQ(classStyleOf(window) & (CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW),
              static_cast<DWORD>(CS_DBLCLKS | CS_SAVEBITS));
    EXPECT_EQ(splash.ownerWindow(), window);

    splash.closeSplashWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(splash.ownerWindow(), nullptr);
    EXPECT_TRUE(splashWindowsOf(GetCurrentProcessId()).empty());
}

TEST_F(SplashInProcess, BmpPictureWithPaddedRowsIsDrawnExactly)
{
    // 121 pixels make 363 bytes a row, padded to 364.
    Image picture = quadrantPicture(121, 91);
    usePicture(L"splash.bmp", bmpFileBytes(picture));
    startSplash();
    HWND window = shownSplashWindow();
    ASSERT_NE(window, nullptr);
    expectShowsPicture(window, picture, {451, 338, 572, 429});
    EXPECT_EQ(picture.pixel(0, 0), kRed);
    EXPECT_EQ(picture.pixel(120, 90), kYellow);
    saveSplashScreenshot(L"splash-in-process-bmp", window);
}

TEST_F(SplashInProcess, PictureWiderThanTheScreenOverhangsBothEdgesEvenly)
{
    // (1024 - 1225) / 2 is -100.5: the window starts at -100, not -101.
    Image picture = quadrantPicture(1225, 61);
    usePicture(L"wide.bmp", bmpFileBytes(picture));
    startSplash();
    HWND window = shownSplashWindow();
    ASSERT_NE(window, nullptr);
    expectShowsPicture(window, picture, {-100, 353, 1125, 414});
}

TEST_F(SplashInProcess, OnlyTheExactWordTrueGivesTheDropShadow)
{
    Image picture = quadrantPicture(40, 30);
    for (const char* shadow : {"true", "True", "yes", ""}) {
        SCOPED_TRACE(shadow);
        usePicture(L"small.png", pngFileBytes(picture),
                   std::string("Splash Screen Shadow=") + shadow + "\r\n");
        startSplash();
        HWND window = shownSplashWindow();
        ASSERT_NE(window, nullptr);
        bool hasShadow = (classStyleOf(window) & CS_DROPSHADOW) != 0;
        EXPECT_EQ(hasShadow, std::string(shadow) == "true");
        EXPECT_TRUE(classStyleOf(window) & CS_SAVEBITS);
        splash.closeSplashWindow();
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(SplashInProcess, MissingPictureGivesAnEmptyWindowInTheCentre)
{
    writeDisplay("Splash Screen=" + toUtf8(sandbox.pathOf(L"gone.png")) + "\r\n");
    startSplash();
    HWND window = shownSplashWindow();
    ASSERT_NE(window, nullptr);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 512);
    EXPECT_EQ(rect.top, 384);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(SplashInProcess, UnreadablePictureFileGivesAnEmptyWindow)
{
    writeDisplay("Splash Screen=" + toUtf8(sandbox.pathOf(L"notes.png")) + "\r\n");
    ASSERT_TRUE(sandbox.writeFile(L"notes.png", "this is no picture"));
    startSplash();
    HWND window = shownSplashWindow();
    ASSERT_NE(window, nullptr);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(SplashInProcess, ClosingTwiceOrWithoutASplashDoesNothing)
{
    splash.closeSplashWindow();
    splash.callRuntimeSplashClose();
    EXPECT_EQ(splash.ownerWindow(), nullptr);
    usePicture(L"small.png", pngFileBytes(quadrantPicture(20, 20)));
    startSplash();
    // Closed at once, maybe before the thread had its message queue.
    splash.closeSplashWindow();
    splash.closeSplashWindow();
    EXPECT_TRUE(splashWindowsOf(GetCurrentProcessId()).empty());
    EXPECT_EQ(splash.ownerWindow(), nullptr);
}

// The runtime's splash library.

TEST_F(SplashInProcess, PreferredRuntimeLibraryGetsTheFourCallsInOrderAndNoWindowAppears)
{
    ASSERT_TRUE(layOutTestSplashLibrary(runtimeHome, TestSplashLibrary::complete));
    usePicture(L"splash.png", pngFileBytes(quadrantPicture(20, 20)),
               "Preffer Native Splash Screen=yEs\r\n");
    startSplash();
    std::string picture = toUtf8(sandbox.pathOf(L"splash.png"));
    std::vector<std::string> expected = {
        "splashscreen loaded " + toUtf8(runtimeHome + L"\\bin\\splashscreen.dll"),
        "SplashInit",
        "SplashLoadFile file=" + picture,
        "SplashSetFileJarName file=" + picture + " jar=",
    };
    EXPECT_EQ(readTestJvmTrace(trace), expected);
    EXPECT_EQ(splash.ownerWindow(), nullptr);

    splash.callRuntimeSplashClose();
    splash.callRuntimeSplashClose();
    expected.push_back("SplashClose");
    EXPECT_EQ(readTestJvmTrace(trace), expected) << "SplashClose must be called exactly once";
}

TEST_F(SplashInProcess, LibraryWithoutSetFileJarNameLeavesThePictureToTheOwnWindow)
{
    ASSERT_TRUE(layOutTestSplashLibrary(runtimeHome, TestSplashLibrary::withoutSetFileJarName));
    usePicture(L"splash.png", pngFileBytes(quadrantPicture(20, 20)),
               "Preffer Native Splash Screen=Yes\r\n");
    startSplash();
    HWND window = shownSplashWindow();
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(readTestJvmTrace(trace),
              std::vector<std::string>{"splashscreen loaded " +
                                       toUtf8(runtimeHome + L"\\bin\\splashscreen.dll")});
    // Its SplashClose is kept all the same and called once.
    splash.callRuntimeSplashClose();
    splash.callRuntimeSplashClose();
    std::vector<std::string> lines = readTestJvmTrace(trace);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "SplashClose"), 1);
}

TEST_F(SplashInProcess, RuntimeLibraryIsLeftAloneUnlessYesIsWritten)
{
    ASSERT_TRUE(layOutTestSplashLibrary(runtimeHome, TestSplashLibrary::complete));
    usePicture(L"splash.png", pngFileBytes(quadrantPicture(20, 20)),
               "Preffer Native Splash Screen=true\r\n");
    startSplash();
    EXPECT_NE(shownSplashWindow(), nullptr);
    EXPECT_TRUE(readTestJvmTrace(trace).empty()) << "the runtime's library was loaded";
}

TEST_F(SplashInProcess, WithoutAPictureNothingIsLoadedOrShown)
{
    ASSERT_TRUE(layOutTestSplashLibrary(runtimeHome, TestSplashLibrary::complete));
    for (const char* keys : {"Preffer Native Splash Screen=Yes\r\n",
                             "Splash Screen=\r\nPreffer Native Splash Screen=Yes\r\n"}) {
        writeDisplay(keys);
        startSplash();
        EXPECT_TRUE(readTestJvmTrace(trace).empty());
        EXPECT_EQ(splash.ownerWindow(), nullptr);
    }
    // Nothing was started, so closing has nothing to wait for.
    splash.closeSplashWindow();
    splash.callRuntimeSplashClose();
    EXPECT_TRUE(readTestJvmTrace(trace).empty());
}

TEST_F(SplashInProcess, RuntimeLibraryPathIsInTheBinFolderAboveTheJvmLibrary)
{
    EXPECT_EQ(runtimeSplashLibraryPath(jvmLibrary), L"") << "no library laid out yet";
    ASSERT_TRUE(layOutTestSplashLibrary(runtimeHome, TestSplashLibrary::complete));
    EXPECT_EQ(runtimeSplashLibraryPath(jvmLibrary), runtimeHome + L"\\bin\\splashscreen.dll");
    // Forward slashes are not shortened, so the library is not found.
    std::wstring forward = jvmLibrary;
    std::replace(forward.begin(), forward.end(), L'\\', L'/');
    EXPECT_EQ(runtimeSplashLibraryPath(forward), L"");
    EXPECT_EQ(runtimeSplashLibraryPath(L""), L"");
}

}  // namespace
