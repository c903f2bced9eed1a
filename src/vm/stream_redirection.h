// System.out and System.err of the freshly created VM written to the files the
// settings name; the names may carry a date and time picture.
#pragma once

#include <jni.h>
#include <windows.h>

#include <string>

#include "vm/vm_options.h"

// Replaces the picture between the first and last "%" of the name by the
// local time formatted with it: "L" gives the milliseconds, then the time
// pictures (HH, mm, ss, tt, ...) and the date pictures (yyyy, MM, dd, ...).
void expandTimestamp(std::wstring& fileName, const SYSTEMTIME& localTime);

// System.out (or System.err) becomes a print stream on a FileOutputStream of
// the file, appending or truncating; the folders above the file are created
// first. False when the stream was not replaced; a pending exception is left
// for the caller.
[[nodiscard]] bool redirectOutput(const std::wstring& fileName, bool append, JNIEnv* environment);
[[nodiscard]] bool redirectError(const std::wstring& fileName, bool append, JNIEnv* environment);

// Fills in the time stamps (the same time for both names) and replaces the
// streams the settings name. A redirection that fails only has its exception
// described: the program still runs, writing where the VM set it up to.
void redirectStandardStreams(StreamRedirection& redirection, JNIEnv* environment);
