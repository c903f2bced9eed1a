#include "vm/java_text.h"

jstring newJavaString(std::wstring_view text, JNIEnv* environment)
{
    jclass stringClass = environment->FindClass("java/lang/String");
    if (stringClass == nullptr) {
        return nullptr;
    }
    jmethodID fromChars = environment->GetMethodID(stringClass, "<init>", "([C)V");
    if (fromChars == nullptr) {
        return nullptr;
    }
    auto length = static_cast<jsize>(text.size());
    jcharArray chars = environment->NewCharArray(length);
    if (chars == nullptr) {
        return nullptr;
    }
    static_assert(sizeof(jchar) == sizeof(wchar_t), "UTF-16 units go to Java unconverted");
    environment->SetCharArrayRegion(chars, 0, length, reinterpret_cast<const jchar*>(text.data()));
    jstring result = nullptr;
    // An exception from before counts too: a Java string made now could not
    // be told apart from one made while the VM was reporting a failure.
    if (environment->ExceptionOccurred() == nullptr) {
        result = static_cast<jstring>(environment->NewObject(stringClass, fromChars, chars));
    }
    environment->DeleteLocalRef(chars);
    return result;
}

jobjectArray newArgumentArray(const std::vector<std::wstring>& texts, JNIEnv* environment)
{
    jclass stringClass = environment->FindClass("java/lang/String");
    if (stringClass == nullptr) {
        return nullptr;
    }
    jobjectArray array =
        environment->NewObjectArray(static_cast<jsize>(texts.size()), stringClass, nullptr);
    if (array == nullptr) {
        return nullptr;
    }
    for (size_t index = 0; index < texts.size(); ++index) {
        jstring element = newJavaString(texts[index], environment);
        if (element == nullptr) {
            environment->DeleteLocalRef(array);
            return nullptr;
        }
        environment->SetObjectArrayElement(array, static_cast<jsize>(index), element);
        environment->DeleteLocalRef(element);
    }
    return array;
}

bool callSystemExit(JNIEnv* environment)
{
    jclass systemClass = environment->FindClass("java/lang/System");
    if (systemClass == nullptr) {
        describePendingException(environment);
        return false;
    }
    jmethodID exitMethod = environment->GetStaticMethodID(systemClass, "exit", "(I)V");
    if (exitMethod == nullptr) {
        describePendingException(environment);
        return false;
    }
    environment->CallStaticVoidMethod(systemClass, exitMethod, static_cast<jint>(-1));
    if (environment->ExceptionOccurred() != nullptr) {
        environment->ExceptionDescribe();
        return false;
    }
    return true;
}

void describePendingException(JNIEnv* environment)
{
    if (environment->ExceptionOccurred() != nullptr) {
        environment->ExceptionDescribe();
    }
}
