#include "vm/java_text.h"

#include "vm/jni_calls.h"

jstring newJavaString(std::wstring_view text, JNIEnv* environment)
{
    ClassMethod fromChars = constructorOf("java/lang/String", "([C)V", environment);
    if (!fromChars) {
        return nullptr;
    }
    auto length = static_cast<jsize>(text.size());
    LocalReference<jcharArray> chars(environment->NewCharArray(length), environment);
    if (!chars) {
        return nullptr;
    }
    static_assert(sizeof(jchar) == sizeof(wchar_t), "UTF-16 units go to Java unconverted");
    environment->SetCharArrayRegion(chars.get(), 0, length,
                                    reinterpret_cast<const jchar*>(text.data()));
    // An exception from before counts too: a Java string made now could not
    // be told apart from one made while the VM was reporting a failure.
    if (environment->ExceptionCheck() != JNI_FALSE) {
        return nullptr;
    }
    return static_cast<jstring>(
        environment->NewObject(fromChars.type.get(), fromChars.method, chars.get()));
}

jobjectArray newArgumentArray(const std::vector<std::wstring>& texts, JNIEnv* environment)
{
    LocalReference<jclass> stringClass(environment->FindClass("java/lang/String"), environment);
    if (!stringClass) {
        return nullptr;
    }
    LocalReference<jobjectArray> array(
        environment->NewObjectArray(static_cast<jsize>(texts.size()), stringClass.get(), nullptr),
        environment);
    if (!array) {
        return nullptr;
    }
    for (size_t index = 0; index < texts.size(); ++index) {
        LocalReference<jstring> element(newJavaString(texts[index], environment), environment);
        if (!element) {
            return nullptr;
        }
        environment->SetObjectArrayElement(array.get(), static_cast<jsize>(index), element.get());
    }
    return array.release();
}

bool callSystemExit(JNIEnv* environment)
{
    ClassMethod systemExit = staticMethodOf("java/lang/System", "exit", "(I)V", environment);
    if (!systemExit) {
        describePendingException(environment);
        return false;
    }
    environment->CallStaticVoidMethod(systemExit.type.get(), systemExit.method,
                                      static_cast<jint>(-1));
    return !describePendingException(environment);
}
