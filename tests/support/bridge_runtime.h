// The bridge runtime: a Java runtime home whose jvm.dll runs the machine's
// Linux JDK 17, built into the build's bin folder (target
// tarvo_bridge_runtime), and the Java test programs built beside it. Tests
// that run real Java lay it out in a product and skip, saying why, where the
// build machine could not make it.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "support/sandbox.h"

namespace harness {

// The built runtime home: <bin>\bridge_runtime.
std::wstring bridgeRuntimeBuildFolder();

// Why the bridge runtime cannot run here (not built, built without a JDK 17,
// or its bridge.cfg names a java that does not exist); nothing when it can.
std::optional<std::string> bridgeRuntimeProblem();

// A jar the build compiled from Java sources, by file name: <bin>\real_java\<name>.
std::wstring builtJarPath(std::wstring_view fileName);

// Why the jars named cannot be used (some was not built: no JDK 17 at build
// time); nothing when all are there.
std::optional<std::string> builtJarsProblem(std::initializer_list<std::wstring_view> fileNames);

// Why a test of real Java cannot run here: the bridge runtime's problem or a
// missing jar; nothing when it can. Tests skip with this reason.
std::optional<std::string> realJavaProblem(std::initializer_list<std::wstring_view> jarFileNames);

// Copies a built jar into the sandbox under the path given (parent folders made).
[[nodiscard]] bool installBuiltJar(const ProductSandbox& sandbox, std::wstring_view jarFileName,
                                   std::wstring_view relativePath);

// Copies the built runtime home, everything in it, to the folder given
// (a product's jre64). Returns the path of its jvm.dll.
[[nodiscard]] std::optional<std::wstring> layOutBridgeRuntime(const std::wstring& home);

// Copies a folder and everything below it; missing parents of the target are created.
[[nodiscard]] bool copyFolderTree(const std::wstring& from, const std::wstring& to);

}  // namespace harness
