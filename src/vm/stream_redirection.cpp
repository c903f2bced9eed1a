#include "vm/stream_redirection.h"

#include <optional>

#include "support/folders.h"
#include "vm/java_text.h"
#include "vm/timestamp_picture.h"

namespace {

using PictureFormatter = int(WINAPI*)(LCID locale, DWORD flags, const SYSTEMTIME* time,
                                      LPCWSTR picture, LPWSTR buffer, int bufferLength);

// The picture formatted by GetTimeFormatW or GetDateFormatW. The buffer is
// sized by asking first, so a long picture is formatted whole; when the
// formatting fails the text stays as it was, which still names a file.
std::wstring formatPicture(PictureFormatter format, const std::wstring& picture,
                           const SYSTEMTIME& localTime)
{
    int length = format(LOCALE_USER_DEFAULT, 0, &localTime, picture.c_str(), nullptr, 0);
    if (length <= 0) {
        return picture;
    }
    std::wstring result(static_cast<size_t>(length), L'\0');
    length = format(LOCALE_USER_DEFAULT, 0, &localTime, picture.c_str(), result.data(), length);
    if (length <= 0) {
        return picture;
    }
    result.resize(static_cast<size_t>(length) - 1);
    return result;
}

bool containsPercent(const std::wstring& fileName)
{
    return fileName.find(L'%') != std::wstring::npos;
}

bool replaceSystemStream(const std::wstring& fileName, bool append, const char* setterName,
                         JNIEnv* environment)
{
    // A missing folder is created; if that fails, opening the file fails and
    // says why.
    (void)createParentFolders(fileName);
    jstring name = newJavaString(fileName, environment);
    if (name == nullptr) {
        return false;
    }
    jclass fileStreamClass = environment->FindClass("java/io/FileOutputStream");
    if (fileStreamClass == nullptr) {
        return false;
    }
    jmethodID openFile = environment->GetMethodID(fileStreamClass, "<init>", "(Ljava/lang/String;Z)V");
    if (openFile == nullptr) {
        return false;
    }
    jobject fileStream = environment->NewObject(fileStreamClass, openFile, name,
                                                static_cast<jboolean>(append ? JNI_TRUE : JNI_FALSE));
    if (fileStream == nullptr || environment->ExceptionCheck()) {
        return false;
    }
    jclass printStreamClass = environment->FindClass("java/io/PrintStream");
    if (printStreamClass == nullptr) {
        return false;
    }
    jmethodID wrapStream =
        environment->GetMethodID(printStreamClass, "<init>", "(Ljava/io/OutputStream;)V");
    if (wrapStream == nullptr) {
        return false;
    }
    jobject printStream = environment->NewObject(printStreamClass, wrapStream, fileStream);
    if (printStream == nullptr) {
        return false;
    }
    jclass systemClass = environment->FindClass("java/lang/System");
    if (systemClass == nullptr) {
        return false;
    }
    jmethodID setter =
        environment->GetStaticMethodID(systemClass, setterName, "(Ljava/io/PrintStream;)V");
    if (setter == nullptr) {
        return false;
    }
    environment->CallStaticVoidMethod(systemClass, setter, printStream);
    if (environment->ExceptionOccurred() != nullptr) {
        environment->ExceptionDescribe();
        return false;
    }
    return true;
}

}  // namespace

void expandTimestamp(std::wstring& fileName, const SYSTEMTIME& localTime)
{
    std::optional<TimestampedName> parts = splitTimestampedName(fileName);
    if (!parts) {
        return;
    }
    std::wstring stamp;
    // An empty picture ("%%" or a single "%") gives an empty stamp: formatting
    // an empty picture could only yield the locale's default format.
    if (!parts->picture.empty()) {
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
