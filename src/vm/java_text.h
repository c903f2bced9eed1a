// The one way UTF-16 texts and argument lists become Java strings and
// String arrays, and the one way the launcher ends the Java program.
#pragma once

#include <jni.h>

#include <string>
#include <string_view>
#include <vector>

// A new java.lang.String made from the text's UTF-16 units through a char
// array, so that no code page is involved and every character, surrogate pairs
// included, reaches Java unchanged. None when the class, its constructor or
// the array is missing, or when an exception is pending, new or from before.
[[nodiscard]] jstring newJavaString(std::wstring_view text, JNIEnv* environment);

// A new String[] holding the texts in order; an empty list gives an empty
// array, never none. None when any element cannot be made.
[[nodiscard]] jobjectArray newArgumentArray(const std::vector<std::wstring>& texts,
                                            JNIEnv* environment);

// java.lang.System.exit(-1). Returns only when the exit did not happen: false
// when the class or method is missing or the call left an exception (which is
// described), true when the call returned.
bool callSystemExit(JNIEnv* environment);
