#include "vm/stream_redirection.h"

#include <optional>

#include "support/folders.h"
#include "support/long_path.h"
#include "vm/java_text.h"
#include "vm/jni_calls.h"
#include "vm/timestamp_picture.h"

namespace {

using PictureFormatter = int(WINAPI*)(LCID locale, DWORD flags, const SYSTEMTIME* time,
                                      LPCWSTR picture, LPWSTR buffer, int bufferLength);

// The picture formatted by GetTimeFormatW or GetDateFormatW into a buffer of
// 260 characters, the longest path. When the formatting fails, for a result
// that does not fit among others, the text stays as it was, which still names
// a file.
std::wstring formatPicture(PictureFormatter format, const std::wstring& picture,
                           const SYSTEMTIME& localTime)
{
    wchar_t result[MAX_PATH];
    int written = format(LOCALE_USER_DEFAULT, 0, &localTime, picture.c_str(), result, MAX_PATH);
    if (written <= 0) {
        return picture;
    }
    return std::wstring(result, static_cast<size_t>(written) - 1);
}

constexpr size_t kLongestPicture = MAX_PATH - 1;

bool containsPercent(const std::wstring& fileName)
{
    return fileName.find(L'%') != std::wstring::npos;
}

// A new java.io.FileOutputStream on the file; none when it cannot be opened.
jobject newFileStream(const std::wstring& fileName, bool append, JNIEnv* environment)
{
    LocalReference<jstring> name(newJavaString(fileName, environment), environment);
    if (!name) {
        return nullptr;
    }
    LocalReference<> fileStream(
        newObjectOf("java/io/FileOutputStream", "(Ljava/lang/String;Z)V", environment, name.get(),
                    static_cast<jboolean>(append ? JNI_TRUE : JNI_FALSE)),
        environment);
    if (!fileStream || environment->ExceptionCheck()) {
        return nullptr;
    }
    return fileStream.release();
}

// System.setOut or System.setErr with the print stream; an exception it
// throws is described.
bool setSystemStream(const char* setterName, jobject printStream, JNIEnv* environment)
{
    ClassMethod setter =
        staticMethodOf("java/lang/System", setterName, "(Ljava/io/PrintStream;)V", environment);
    if (!setter) {
        return false;
    }
    environment->CallStaticVoidMethod(setter.type.get(), setter.method, printStream);
    return !describePendingException(environment);
}

bool replaceSystemStream(const std::wstring& fileName, bool append, const char* setterName,
                         JNIEnv* environment)
{
    // A missing folder is created; if that fails, opening the file fails and
    // says why. A relative name is relative to the current folder, for the
    // folders as for the Java runtime that opens the file.
    std::optional<std::wstring> fullName = fullPathName(fileName);
    (void)createParentFolders(fullName ? *fullName : fileName);
    LocalReference<> fileStream(newFileStream(fileName, append, environment), environment);
    if (!fileStream) {
        return false;
    }
    LocalReference<> printStream(newPrintStream(fileStream.get(), environment), environment);
    if (!printStream) {
        return false;
    }
    return setSystemStream(setterName, printStream.get(), environment);
}

}  // namespace

void expandTimestamp(std::wstring& fileName, const SYSTEMTIME& localTime)
{
    std::optional<TimestampedName> parts = splitTimestampedName(fileName);
    if (!parts) {
        return;
    }
    std::wstring stamp = parts->picture;
    // An empty picture ("%%" or a single "%") gives an empty stamp: formatting
    // an empty picture could only yield the locale's default format. A picture
    // longer than the buffer stays as written: it cannot format into it, and
    // some versions of the formatting functions overrun their own buffers on
    // such pictures instead of failing.
    if (!parts->picture.empty() && parts->picture.size() <= kLongestPicture) {
        std::wstring picture = withMilliseconds(parts->picture, localTime.wMilliseconds);
        // Time first, then date: digits of the time pass through the date
        // formatting, while an AM/PM text's M is read as the month there.
        stamp = formatPicture(GetDateFormatW, formatPicture(GetTimeFormatW, picture, localTime),
                              localTime);
    }
    fileName = parts->before + stamp + parts->after;
}

bool redirectOutput(const std::wstring& fileName, bool append, JNIEnv* environment)
{
    return replaceSystemStream(fileName, append, "setOut", environment);
}

bool redirectError(const std::wstring& fileName, bool append, JNIEnv* environment)
{
    return replaceSystemStream(fileName, append, "setErr", environment);
}

void redirectStandardStreams(StreamRedirection& redirection, JNIEnv* environment)
{
    bool outputStamped = !redirection.outputFile.empty() && containsPercent(redirection.outputFile);
    bool errorStamped = !redirection.errorFile.empty() && containsPercent(redirection.errorFile);
    if (outputStamped || errorStamped) {
        SYSTEMTIME localTime;
        GetLocalTime(&localTime);
        if (outputStamped) {
            expandTimestamp(redirection.outputFile, localTime);
        }
        if (errorStamped) {
            expandTimestamp(redirection.errorFile, localTime);
        }
    }
    if (!redirection.outputFile.empty() &&
        !redirectOutput(redirection.outputFile, redirection.outputAppend, environment)) {
        describePendingException(environment);
    }
    if (!redirection.errorFile.empty() &&
        !redirectError(redirection.errorFile, redirection.errorAppend, environment)) {
        describePendingException(environment);
    }
}
