// A start on a window station nobody sees, as a service's in session 0: the
// launcher shows no box and no dialog that would wait for a click, writes its
// errors to the event log and the diagnostic trace, and ends with the exit
// code it ends with everywhere else. The station is a real one, made by the
// test beside the interactive one.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr DWORD kExitLimit = 30000;
constexpr wchar_t kStationName[] = L"TarvoServiceStation";

// A window station of this process's own, not the interactive one, with one
// desktop, closed when the test ends.
class HiddenStation {
public:
    HiddenStation()
    {
        HWINSTA interactive = GetProcessWindowStation();
        station_ = CreateWindowStationW(kStationName, 0, WINSTA_ALL_ACCESS, nullptr);
        if (station_ == nullptr || !SetProcessWindowStation(station_)) {
            return;
        }
        // A desktop is made on the process's station: switch there and back.
        desktop_ = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        SetProcessWindowStation(interactive);
    }
    ~HiddenStation()
    {
        if (desktop_ != nullptr) {
            CloseDesktop(desktop_);
        }
        if (station_ != nullptr) {
            CloseWindowStation(station_);
        }
    }
    HiddenStation(const HiddenStation&) = delete;
    HiddenStation& operator=(const HiddenStation&) = delete;

    bool ready() const { return station_ != nullptr && desktop_ != nullptr; }
    std::wstring desktopName() const { return std::wstring(kStationName) + L"\\Default"; }

private:
    HWINSTA station_ = nullptr;
    HDESK desktop_ = nullptr;
};

class ServiceStation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(station_.ready())
            << "no window station could be made, error " << GetLastError();
        ASSERT_TRUE(sandbox_.create(L"Acme Service"));
    }

    // Runs the launcher on the hidden station with the trace on; a box would
    // keep it from ending within the limit.
    ProcessOutcome runOnHiddenStation()
    {
        ProcessStart start(sandbox_.executablePath());
        start.currentFolder = sandbox_.folder();
        start.desktop = station_.desktopName();
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        environment.set(L"TARVO_TRACE", sandbox_.pathOf(L"trace.txt"));
        environment.remove(L"JAVA_HOME");
        start.environment = environment;
        std::optional<ProcessOutcome> outcome = runProcess(start, kExitLimit);
        EXPECT_TRUE(outcome) << "the launcher did not start, error " << GetLastError();
        return outcome.value_or(ProcessOutcome{});
    }

    std::string trace() const { return sandbox_.readFile(L"trace.txt").value_or(""); }

    HiddenStation station_;
    ProductSandbox sandbox_;
};

}  // namespace

TEST_F(ServiceStation, ErrorGoesToTheEventLogAndTheTraceInsteadOfABox)
{
    ASSERT_TRUE(
        sandbox_.writeIni("[Product Information]\r\nProduct Name=Acme Service\r\n"
                          "[Application]\r\nApplication Type=service\r\n"));
    ProcessOutcome outcome = runOnHiddenStation();
    EXPECT_TRUE(outcome.finished) << "the launcher waited for a click nobody can give";
    EXPECT_EQ(outcome.exitCode, -1);
    std::string written = trace();
    EXPECT_NE(written.find("Main class in der INI-Datei nicht spezifiziert."), std::string::npos)
        << written;
    EXPECT_NE(written.find("no interactive window station: written to the event log"),
              std::string::npos)
        << written;
}

TEST_F(ServiceStation, RuntimeNotFoundShowsNoDialogAndTheStartFails)
{
    // No runtime anywhere: not configured, none beside the executable, and
    // the registry holds none that this product accepts.
    ASSERT_TRUE(
        sandbox_.writeIni("[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"
                          "JVM Source=none\r\n"));
    ProcessOutcome outcome = runOnHiddenStation();
    EXPECT_TRUE(outcome.finished) << "the launcher waited for a choice nobody can make";
    EXPECT_EQ(outcome.exitCode, -1);
    std::string written = trace();
    EXPECT_NE(written.find("Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden."),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("no interactive window station: written to the event log"),
              std::string::npos)
        << written;
}
