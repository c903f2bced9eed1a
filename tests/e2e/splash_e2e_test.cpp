// The splash picture end to end: a product with the test Java runtime shows
// its picture in the launcher's own window (place, size, styles, pixels) or
// through the runtime's splash library, skips it for -nosplash and /nosplash,
// closes it when main throws and at the end, and owns the error boxes shown
// while it is up. The test runtime can hold the start before the VM exists,
// so that the window can be looked at, and traces whether the window was
// there when the VM was created, when main's thread detached and when the VM
// was destroyed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "splash/splash_checks.h"
#include "splash/test_pictures.h"
#include "support/java_product.h"
#include "support/screenshot.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;
using namespace splash_test;

namespace {

constexpr DWORD kRunLimitMilliseconds = 30000;
const std::string kAtCreate = "window SplashScreenWindow at JNI_CreateJavaVM: ";
const std::string kAtDetach = "window SplashScreenWindow at DetachCurrentThread: ";
const std::string kAtDestroy = "window SplashScreenWindow at DestroyJavaVM: ";

size_t lineIndex(const std::vector<std::string>& trace, std::string_view line)
{
    return static_cast<size_t>(std::find(trace.begin(), trace.end(), line) - trace.begin());
}

size_t lineCount(const std::vector<std::string>& trace, std::string_view line)
{
    return static_cast<size_t>(std::count(trace.begin(), trace.end(), line));
}

bool traceStartsWith(const std::vector<std::string>& trace, std::string_view prefix)
{
    return std::any_of(trace.begin(), trace.end(),
                       [&](const std::string& line) { return line.starts_with(prefix); });
}

// The text in the ANSI code page, as a settings file written by a Windows
// editor holds it.
std::string ansiBytes(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// A launcher started with the test runtime held before it creates the VM.
struct HeldStart {
    RunningProcess process;
    KernelHandle releaseEvent;

    void release() { EXPECT_TRUE(SetEvent(releaseEvent.get())); }
};

class SplashEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product.create());
        product.environment().set(test_jvm::kWatchWindowVariable, kSplashClass);
    }

    // The settings with "Main Class", the further runtime keys and the
    // [Display] keys (lines "\r\n"-separated, in the ANSI code page).
    void writeSettings(std::string_view mainClass, const std::string& displayKeys,
                       const std::string& moreSections = "")
    {
        ASSERT_TRUE(
            product.writeSettings(mainClass, "", "[Display]\r\n" + displayKeys + moreSections));
    }

    void writePicture(const std::wstring& fileName, const std::string& bytes)
    {
        ASSERT_TRUE(product.sandbox().writeFile(fileName, bytes));
    }

    void layOutSplashLibrary(TestSplashLibrary variant)
    {
        ASSERT_TRUE(layOutTestSplashLibrary(product.sandbox().pathOf(L"jre64"), variant));
    }

    std::string splashLibraryLoadedLine() const
    {
        return "splashscreen loaded " +
               toUtf8(product.sandbox().pathOf(L"jre64\\bin\\splashscreen.dll"));
    }

    // Starts the launcher as JavaProduct::run does, with the runtime held
    // until release.
    std::optional<HeldStart> startHeld(const std::vector<std::wstring>& arguments = {})
    {
        static std::atomic<unsigned> sequence{0};
        std::wstring eventName = L"tarvo-splash-test-" + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(++sequence);
        HeldStart held;
        held.releaseEvent.reset(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        if (!held.releaseEvent) {
            return std::nullopt;
        }
        DeleteFileW(product.tracePath().c_str());
        const std::wstring& executable = product.sandbox().executablePath();
        ProcessStart start(executable, commandLineOf(executable, arguments));
        start.currentFolder = product.sandbox().folder();
        start.environment = product.environment();
        start.environment->set(test_jvm::kHoldEventVariable, eventName);
        std::optional<RunningProcess> process = RunningProcess::start(start);
        if (!process) {
            return std::nullopt;
        }
        held.process = std::move(*process);
        return held;
    }

    // Waits for the end of a released start; its exit code and the trace.
    LauncherRun finish(HeldStart& held)
    {
        LauncherRun run;
        run.outcome = held.process.waitForExit(kRunLimitMilliseconds);
        run.trace = readTestJvmTrace(product.tracePath());
        EXPECT_TRUE(run.outcome.finished) << "the launcher did not end by itself";
        return run;
    }

    // The shown splash window of a held start, drawn with the picture at the
    // place given; a screenshot is saved under the name.
    HWND expectPictureShown(const HeldStart& held, const Image& picture, const RECT& expected,
                            std::wstring_view screenshotName)
    {
        std::optional<HWND> window = waitForSplashWindow(held.process.id());
        EXPECT_TRUE(window) << "no SplashScreenWindow appeared";
        if (!window) {
            return nullptr;
        }
        RECT shown{};
        EXPECT_TRUE(GetWindowRect(*window, &shown));
        EXPECT_EQ(shown.left, expected.left);
        EXPECT_EQ(shown.top, expected.top);
        EXPECT_EQ(shown.right, expected.right);
        EXPECT_EQ(shown.bottom, expected.bottom);
        RECT onScreen = {std::max(expected.left, 0L), std::max(expected.top, 0L),
                         std::min<LONG>(expected.right, GetSystemMetrics(SM_CXSCREEN)),
                         std::min<LONG>(expected.bottom, GetSystemMetrics(SM_CYSCREEN))};
        EXPECT_EQ(pixelsDifferingFromPicture(picture, expected.left, expected.top, onScreen), 0)
            << "the window does not show the picture";
        saveSplashScreenshot(screenshotName, *window);
        return *window;
    }

    JavaProduct product;
};

// The own window.

TEST_F(SplashEndToEnd, PictureIsCentredBorderlessWithoutTaskbarButtonUntilTheProgramEnds)
{
    // Relative to the current folder, which is the product's here.
    Image picture = quadrantPicture(301, 201);
    writePicture(L"splash.png", pngFileBytes(picture));
    writeSettings("tarvo.test.Main", "Splash Screen=splash.png\r\n");
    std::optional<HeldStart> held = startHeld();
    ASSERT_TRUE(held);

    HWND window = expectPictureShown(*held, picture, {361, 283, 662, 484}, L"splash-e2e-png");
    ASSERT_NE(window, nullptr);
    DWORD style = windowStyle(window);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0u) << "the window has a frame";
    EXPECT_TRUE(windowExtendedStyle(window) & WS_EX_TOOLWINDOW) << "it would get a taskbar button";
    EXPECT_EQ(windowExtendedStyle(window) & WS_EX_TOPMOST, 0u);
    EXPECT_EQ(classStyleOf(window) & CS_DROPSHADOW, 0u);
    EXPECT_EQ(windowText(window), L"");

    held->release();
    LauncherRun run = finish(*held);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_TRUE(traceHas(run.trace, "hold released"));
    // Up while main ran; gone before the VM was destroyed at the end.
    EXPECT_TRUE(traceHas(run.trace, kAtCreate + "present"));
    EXPECT_TRUE(traceHas(run.trace, kAtDetach + "present"));
    EXPECT_TRUE(traceHas(run.trace, kAtDestroy + "absent"));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SplashEndToEnd, BmpPictureGetsTheDropShadowOnlyForExactlyTrue)
{
    Image picture = quadrantPicture(201, 151);
    writePicture(L"splash.bmp", bmpFileBytes(picture));
    for (const char* shadow : {"true", "True"}) {
        SCOPED_TRACE(shadow);
        writeSettings("tarvo.test.Main",
                      "Splash Screen=" + toUtf8(product.sandbox().pathOf(L"splash.bmp")) +
                          "\r\nSplash Screen Shadow=" + shadow + "\r\n");
        std::optional<HeldStart> held = startHeld();
        ASSERT_TRUE(held);
        bool wanted = std::string(shadow) == "true";
        HWND window =
            expectPictureShown(*held, picture, {411, 308, 612, 459},
                               wanted ? L"splash-e2e-bmp-shadow" : L"splash-e2e-bmp-no-shadow");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ((classStyleOf(window) & CS_DROPSHADOW) != 0, wanted);
        held->release();
        EXPECT_EQ(finish(*held).outcome.exitCode, 0);
    }
}

TEST_F(SplashEndToEnd, PictureWiderThanTheScreenStartsAtANegativeXRoundedTowardZero)
{
    Image picture = quadrantPicture(1225, 41);
    writePicture(L"wide.bmp", bmpFileBytes(picture));
    writeSettings("tarvo.test.Main", "Splash Screen=wide.bmp\r\n");
    std::optional<HeldStart> held = startHeld();
    ASSERT_TRUE(held);
    expectPictureShown(*held, picture, {-100, 363, 1125, 404}, L"splash-e2e-wide");
    held->release();
    EXPECT_EQ(finish(*held).outcome.exitCode, 0);
}

TEST_F(SplashEndToEnd, MissingPictureShowsNothingAndTheProgramStarts)
{
    writeSettings("tarvo.test.Main", "Splash Screen=nowhere.png\r\n");
    std::optional<HeldStart> held = startHeld({L"doc.txt"});
    ASSERT_TRUE(held);
    std::optional<HWND> window = waitForSplashWindow(held->process.id());
    ASSERT_TRUE(window);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(*window, &rect));
    EXPECT_EQ(rect.right - rect.left, 0) << "something is visible";
    EXPECT_EQ(rect.bottom - rect.top, 0) << "something is visible";
    held->release();
    LauncherRun run = finish(*held);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_EQ(mainArgumentsFromTrace(run.trace), std::vector<std::wstring>{L"doc.txt"});
}

// Closing and owning boxes.

TEST_F(SplashEndToEnd, ExceptionFromMainClosesTheWindowBeforeMainsThreadDetaches)
{
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(60, 40)));
    writeSettings("tarvo.test.Throws", "Splash Screen=splash.png\r\n",
                  "[Application]\r\nFailure Check=No\r\n");
    std::optional<HeldStart> held = startHeld();
    ASSERT_TRUE(held);
    ASSERT_TRUE(waitForSplashWindow(held->process.id()));
    held->release();
    LauncherRun run = finish(*held);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_TRUE(traceHas(run.trace, kAtCreate + "present"));
    EXPECT_TRUE(traceHas(run.trace, kAtDetach + "absent"));
}

TEST_F(SplashEndToEnd, ExceptionDialogAppearsOnlyAfterTheWindowClosed)
{
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(60, 40)));
    writeSettings("tarvo.test.Throws", "Splash Screen=splash.png\r\n",
                  "[Application]\r\nFailure Check=Yes\r\n");
    std::optional<HeldStart> held = startHeld();
    ASSERT_TRUE(held);
    ASSERT_TRUE(waitForSplashWindow(held->process.id()));
    held->release();
    std::optional<HWND> dialog = waitForDialog(held->process.id(), kWindowLimitMilliseconds);
    ASSERT_TRUE(dialog) << "no exception dialog appeared";
    EXPECT_TRUE(splashWindowsOf(held->process.id()).empty())
        << "the splash window was still there when the exception was shown";
    (void)saveScreenshot(L"splash-e2e-exception-dialog");
    held->process.kill();
}

TEST_F(SplashEndToEnd, ErrorBoxShownWhileTheSplashIsUpIsOwnedByIt)
{
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(300, 200)));
    writeSettings("tarvo.test.NoMainQuiet", "Splash Screen=splash.png\r\n");
    std::optional<HeldStart> held = startHeld();
    ASSERT_TRUE(held);
    std::optional<HWND> window = waitForSplashWindow(held->process.id());
    ASSERT_TRUE(window);
    held->release();
    std::optional<HWND> box = waitForDialog(held->process.id(), kWindowLimitMilliseconds);
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_EQ(messageBoxText(*box), L"Keine Main class in der angegebenen Klasse gefunden.\n");
    EXPECT_EQ(GetWindow(*box, GW_OWNER), *window);
    (void)saveScreenshot(L"splash-e2e-owned-error-box");
    EXPECT_TRUE(clickButton(*box, IDOK));
    LauncherRun run = finish(*held);
    EXPECT_EQ(run.outcome.exitCode, -1);
    EXPECT_FALSE(IsWindow(*window));
}

// The runtime's splash library.

TEST_F(SplashEndToEnd, PreferredRuntimeLibraryGetsThePathInTheAnsiCodePageAndNoWindowShows)
{
    layOutSplashLibrary(TestSplashLibrary::complete);
    // Written exactly as in the settings: relative, with a letter outside ASCII.
    const std::wstring pictureName = L"Bild \u00e4\u00df.png";
    writePicture(pictureName, pngFileBytes(quadrantPicture(30, 20)));
    for (const char* prefer : {"yes", "YES"}) {
        SCOPED_TRACE(prefer);
        writeSettings("tarvo.test.Main", "Splash Screen=" + ansiBytes(pictureName) +
                                             "\r\nPreffer Native Splash Screen=" + prefer + "\r\n");
        LauncherRun run = product.run();
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_EQ(run.boxes, std::vector<std::wstring>{});
        const std::string picturePath = toUtf8(pictureName);
        size_t loaded = lineIndex(run.trace, splashLibraryLoadedLine());
        size_t init = lineIndex(run.trace, "SplashInit");
        size_t loadFile = lineIndex(run.trace, "SplashLoadFile file=" + picturePath);
        size_t jarName = lineIndex(run.trace, "SplashSetFileJarName file=" + picturePath + " jar=");
        size_t destroyed = lineIndex(run.trace, "DestroyJavaVM returns");
        size_t closed = lineIndex(run.trace, "SplashClose");
        ASSERT_LT(jarName, run.trace.size()) << "the library was not asked to show the picture";
        EXPECT_LT(loaded, init);
        EXPECT_LT(init, loadFile);
        EXPECT_LT(loadFile, jarName);
        // Before the VM, and closed once after it at the end.
        EXPECT_LT(jarName, lineIndex(run.trace, kAtCreate + "absent"));
        EXPECT_TRUE(traceHas(run.trace, kAtDetach + "absent"));
        EXPECT_LT(destroyed, closed);
        EXPECT_EQ(lineCount(run.trace, "SplashClose"), 1u);
    }
}

TEST_F(SplashEndToEnd, OwnWindowShowsWhenTheRuntimeHasNoUsableSplashLibrary)
{
    Image picture = quadrantPicture(100, 80);
    writePicture(L"splash.png", pngFileBytes(picture));
    writeSettings("tarvo.test.Main",
                  "Splash Screen=splash.png\r\nPreffer Native Splash Screen=Yes\r\n");
    {
        SCOPED_TRACE("no splashscreen.dll");
        std::optional<HeldStart> held = startHeld();
        ASSERT_TRUE(held);
        ASSERT_NE(
            expectPictureShown(*held, picture, {462, 344, 562, 424}, L"splash-e2e-no-library"),
            nullptr);
        held->release();
        LauncherRun run = finish(*held);
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_FALSE(traceStartsWith(run.trace, "splashscreen loaded"));
    }
    layOutSplashLibrary(TestSplashLibrary::withoutSetFileJarName);
    {
        SCOPED_TRACE("splashscreen.dll without SplashSetFileJarName");
        std::optional<HeldStart> held = startHeld();
        ASSERT_TRUE(held);
        ASSERT_NE(
            expectPictureShown(*held, picture, {462, 344, 562, 424}, L"splash-e2e-no-jar-name"),
            nullptr);
        held->release();
        LauncherRun run = finish(*held);
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_TRUE(traceHas(run.trace, splashLibraryLoadedLine()));
        EXPECT_FALSE(traceHas(run.trace, "SplashInit"));
        // Its SplashClose is still called, once, at the end.
        EXPECT_EQ(lineCount(run.trace, "SplashClose"), 1u);
        EXPECT_LT(lineIndex(run.trace, "DestroyJavaVM returns"),
                  lineIndex(run.trace, "SplashClose"));
    }
}

TEST_F(SplashEndToEnd, FailedVmRunClosesTheRuntimeLibraryOnce)
{
    layOutSplashLibrary(TestSplashLibrary::complete);
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(30, 20)));
    writeSettings("tarvo.test.Main",
                  "Splash Screen=splash.png\r\nPreffer Native Splash Screen=Yes\r\n");
    product.environment().set(test_jvm::kCreateResultVariable, L"-1");
    LauncherRun run = product.run();
    EXPECT_EQ(run.outcome.exitCode, -1);
    EXPECT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(traceHas(run.trace, "SplashInit"));
    EXPECT_EQ(lineCount(run.trace, "SplashClose"), 1u);
}

// -nosplash and /nosplash.

TEST_F(SplashEndToEnd, NoSplashSwitchAnywhereShowsNothingAndStillReachesMain)
{
    layOutSplashLibrary(TestSplashLibrary::complete);
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(30, 20)));
    const std::vector<std::vector<std::wstring>> argumentLists = {
        {L"-nosplash"}, {L"first", L"/nosplash", L"last"}, {L"a", L"b", L"-nosplash"}};
    for (const char* prefer : {"Yes", "No"}) {
        writeSettings("tarvo.test.Main", std::string("Splash Screen=splash.png\r\n") +
                                             "Preffer Native Splash Screen=" + prefer + "\r\n");
        for (const std::vector<std::wstring>& arguments : argumentLists) {
            SCOPED_TRACE(prefer + (" " + toUtf8(arguments.front())));
            LauncherRun run = product.run(arguments);
            EXPECT_EQ(run.outcome.exitCode, 0);
            EXPECT_EQ(mainArgumentsFromTrace(run.trace), arguments);
            EXPECT_FALSE(traceStartsWith(run.trace, "splashscreen loaded"));
            EXPECT_FALSE(traceHas(run.trace, "SplashClose"));
            EXPECT_TRUE(traceHas(run.trace, kAtDetach + "absent"));
        }
    }
}

TEST_F(SplashEndToEnd, NoSplashInOtherLettersDoesNotCount)
{
    layOutSplashLibrary(TestSplashLibrary::complete);
    writePicture(L"splash.png", pngFileBytes(quadrantPicture(30, 20)));
    writeSettings("tarvo.test.Main",
                  "Splash Screen=splash.png\r\nPreffer Native Splash Screen=Yes\r\n");
    for (const wchar_t* argument : {L"-NOSPLASH", L"/NoSplash", L"--nosplash", L"-nosplash "}) {
        SCOPED_TRACE(toUtf8(argument));
        LauncherRun run = product.run({argument});
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_TRUE(traceHas(run.trace, "SplashInit")) << "the splash was suppressed";
        EXPECT_EQ(mainArgumentsFromTrace(run.trace), std::vector<std::wstring>{argument});
    }
}

}  // namespace
