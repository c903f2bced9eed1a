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
};
