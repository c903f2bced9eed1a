#include <gtest/gtest.h>

#include "config/runtime_version.h"
#include "runtime/runtime_locator.h"

namespace {

LauncherSettings settingsWithBounds(const wchar_t* minimum, const wchar_t* maximum, int jvmType)
{
    LauncherSettings settings;
    settings.minimumVersion = minimumVersionFromText(minimum);
    settings.maximumVersion = maximumVersionFromText(maximum);
    settings.jvmType = jvmType;
    return settings;
}

const std::wstring kGeneral =
    L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    L"eine JRE (";
const std::wstring kServer =
    L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    L"eine JRE mit Server JVM (";
const std::wstring kEnd = L") von:";

}  // namespace

TEST(RuntimeNotFoundMessage, NamesTheVersionLimitsInTheirPhrase)
{
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"any", L"any", kAnyJvm)),
              kGeneral + L"neueste Version" + kEnd);
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"any", L"11.0.2", kAnyJvm)),
              kGeneral + L"maximum Version 11.0.2" + kEnd);
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"17", L"any", kAnyJvm)),
              kGeneral + L"minimum Version 17.0" + kEnd);
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"1.8.0.291", L"1.8.0.291", kAnyJvm)),
              kGeneral + L"Version 1.8.0.291 erforderlich" + kEnd);
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"1.8", L"1.8", kAnyJvm)),
              kGeneral + L"Version zwischen 1.8 und 1.8" + kEnd);
}

TEST(RuntimeNotFoundMessage, OnlyServerOnlyAsksForTheServerJvm)
{
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"11", L"any", kServerJvmOnly)),
              kServer + L"minimum Version 11.0" + kEnd);
    EXPECT_EQ(runtimeNotFoundMessage(settingsWithBounds(L"11", L"any", kServerJvmFavored)),
              kGeneral + L"minimum Version 11.0" + kEnd);
}
