// Every configuration value the launcher reads at start-up, with its default.
#pragma once

#include <string>
#include <vector>

#include "config/runtime_version.h"

// Which JVM a runtime must offer.
enum JvmType : int {
    kAnyJvm = 0,
    kServerJvmOnly = 1,
    kServerJvmFavored = 2,
};

// Where this executable and its settings file are: found once per start and
// handed to whoever needs them.
struct ProductPaths {
    std::wstring executablePath;
    std::wstring executableFolder;  // without a trailing backslash; C: for C:\start.exe
    std::wstring settingsFile;      // beside the executable, with its base name
};

// The "Display" keys as written; they come from the settings file alone.
struct SplashSettings {
    std::wstring picture;       // "Splash Screen"
    std::wstring shadow;        // "Splash Screen Shadow"
    std::wstring preferNative;  // "Preffer Native Splash Screen"
};

struct LauncherSettings {
    std::wstring productCode;
    std::wstring productName;
    RuntimeVersion minimumVersion;
    RuntimeVersion maximumVersion;
    bool isService = false;
    std::vector<std::wstring> preferredVersions;
    std::wstring jrePath;  // absolute once read
    int jvmType = kAnyJvm;
    bool favorMode = true;
    bool jdkWanted = false;
    bool jreWanted = false;
    bool sunAllowed = true;
    bool jrockitAllowed = false;
    bool ibmAllowed = false;
    bool sunFavored = true;
    bool jrockitFavored = false;
    bool ibmFavored = false;
    std::wstring mainClass;  // with "/" separators
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    bool pairReturnCode = false;
    std::wstring systemPath;
    std::wstring libraryPath;
    std::wstring pairProduct;
    // "Search Installed Runtimes" exactly "yes", the default: the runtimes that
    // vendor installers register under their own keys, and those on PATH, are
    // looked for before the user is asked.
    bool searchInstalledRuntimes = true;

    // Read with the others but used later, when the Java program starts.
    // Texts keep their %NAME% references: they are expanded where they are
    // used, once the runtime's variables are set.
    bool singleInstance = false;          // "Single Instance" exactly "yes"
    std::vector<std::wstring> classPath;  // "Class Path" entries as written
    bool embeddedJar = false;
    std::wstring vmParameters;  // "Virtual Machine Parameters"
    std::wstring outputFile;
    bool outputAppend = false;
    std::wstring errorFile;
    bool errorAppend = false;
    std::wstring cmd;  // arguments added after the user's own
    std::wstring classDataSharing;  // "Class Data Sharing" as written; empty is "auto"
    SplashSettings splash;
};
