// The texts the launcher builds for the Java runtime's environment and its
// class path, before any %NAME% in them is expanded.
#pragma once

#include <string>
#include <string_view>

// The runtime's home folder for TARVO_JVM_HOME: the JVM library's path with
// its last three components removed, so C:\Java\jre\bin\server\jvm.dll gives
// C:\Java\jre. A removal on a text without a backslash changes nothing.
std::wstring runtimeHomeFolder(std::wstring_view jvmLibraryPath);

// The value of the "-Djava.library.path=" option: the product's library path,
// the executable's folder, the current folder ".", the inherited %Path% and
// the runtime's lib folder, separated by ";". executableFolder ends with a
// backslash.
std::wstring libraryPathText(std::wstring_view libraryPath, std::wstring_view executableFolder,
                             std::wstring_view jvmLibraryPath);

// The new PATH: the product's system path first, then the inherited %Path%,
// and the runtime's bin folder last, where the runtime's own libraries are
// found by everything the Java program loads or starts.
std::wstring searchPathText(std::wstring_view systemPath, std::wstring_view jvmLibraryPath);

// A class path entry is searched for when it holds a wildcard or is relative;
// an absolute entry without a wildcard is taken as written, unchecked.
bool isSearchedClassPathEntry(std::wstring_view entry);

// What a searched entry looks for: a relative entry under the executable's
// folder (given without its trailing backslash), an absolute one as it is.
std::wstring classPathSearchPattern(std::wstring_view entry, std::wstring_view executableFolder);

// The folder the matches of a search pattern lie in: the pattern up to its
// last separator. A forward slash separates as a backslash does, so lib/*.jar
// finds its files in lib. Empty when the pattern has no separator.
std::wstring searchResultFolder(std::wstring_view pattern);

// The "." and ".." entries a pattern such as lib\* also matches. They are not
// class path entries: ".." would put the folder above on the class path.
bool isFolderSelfOrParent(std::wstring_view name);

// The class path option as the VM reads it; the class path keeps the ";"
// that ends its last entry.
std::wstring classPathOption(std::wstring_view classPath);
