#include "vm/jni_calls.h"

#include "vm/java_text.h"
#include "vm/modified_utf8.h"

namespace {

// The modified UTF-8 bytes of a Java string as GetStringUTFChars lends them,
// given back when this goes; empty when the VM could not lend them.
class JavaStringBytes {
public:
    JavaStringBytes(jstring text, JNIEnv* environment) noexcept
        : text_(text),
          environment_(environment),
          bytes_(environment->GetStringUTFChars(text, nullptr))
    {
    }
    ~JavaStringBytes()
    {
        if (bytes_ != nullptr) {
            environment_->ReleaseStringUTFChars(text_, bytes_);
        }
    }
    JavaStringBytes(const JavaStringBytes&) = delete;
    JavaStringBytes& operator=(const JavaStringBytes&) = delete;

    const char* get() const noexcept { return bytes_; }
    explicit operator bool() const noexcept { return bytes_ != nullptr; }

private:
    jstring text_;
    JNIEnv* environment_;
    const char* bytes_;
};

}  // namespace

bool describePendingException(JNIEnv* environment)
{
    if (environment->ExceptionCheck() == JNI_FALSE) {
        return false;
    }
    environment->ExceptionDescribe();
    return true;
}

jclass findClassNamed(jstring name, JNIEnv* environment)
{
    JavaStringBytes bytes(name, environment);
    if (!bytes) {
        return nullptr;
    }
    return environment->FindClass(bytes.get());
}

jclass findClassNamed(std::wstring_view name, JNIEnv* environment)
{
    LocalReference<jstring> javaName(newJavaString(name, environment), environment);
    if (!javaName) {
        return nullptr;
    }
    return findClassNamed(javaName.get(), environment);
}

ClassMethod constructorOf(const char* className, const char* signature, JNIEnv* environment)
{
    ClassMethod found{LocalReference<jclass>(environment->FindClass(className), environment)};
    if (found.type) {
        found.method = environment->GetMethodID(found.type.get(), "<init>", signature);
    }
    return found;
}

ClassMethod staticMethodOf(const char* className, const char* name, const char* signature,
                           JNIEnv* environment)
{
    ClassMethod found{LocalReference<jclass>(environment->FindClass(className), environment)};
    if (found.type) {
        found.method = environment->GetStaticMethodID(found.type.get(), name, signature);
    }
    return found;
}

jmethodID methodOf(jobject object, const char* name, const char* signature, JNIEnv* environment)
{
    LocalReference<jclass> type(environment->GetObjectClass(object), environment);
    if (!type) {
        return nullptr;
    }
    return environment->GetMethodID(type.get(), name, signature);
}

jobject newPrintStream(jobject outputStream, JNIEnv* environment)
{
    return newObjectOf("java/io/PrintStream", "(Ljava/io/OutputStream;)V", environment,
                       outputStream);
}

std::wstring wideFromJavaString(jstring text, JNIEnv* environment)
{
    JavaStringBytes bytes(text, environment);
    if (!bytes) {
        return {};
    }
    jsize length = environment->GetStringUTFLength(text);
    return wideFromModifiedUtf8(std::string_view(bytes.get(), static_cast<size_t>(length)));
}
