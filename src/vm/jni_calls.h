// The small JNI steps the VM host, the stream redirection, the exception
// dialog and the single-instance handover share: owning a local reference,
// describing a pending exception, finding classes, constructors and methods,
// and reading a Java string back as UTF-16.
#pragma once

#include <jni.h>

#include <string>
#include <string_view>
#include <utility>

// Deletes a JNI local reference when it goes; empty is nullptr. The VM thread
// and the handover threads run on after the calls they make, so the
// references made on the way are not left to pile up.
template <typename Reference = jobject>
class LocalReference {
public:
    LocalReference() noexcept = default;
    LocalReference(Reference reference, JNIEnv* environment) noexcept
        : reference_(reference), environment_(environment)
    {
    }
    ~LocalReference() { reset(); }

    LocalReference(LocalReference&& other) noexcept
        : reference_(std::exchange(other.reference_, nullptr)), environment_(other.environment_)
    {
    }
    LocalReference& operator=(LocalReference&& other) noexcept
    {
        if (this != &other) {
            reset();
            reference_ = std::exchange(other.reference_, nullptr);
            environment_ = other.environment_;
        }
        return *this;
    }
    LocalReference(const LocalReference&) = delete;
    LocalReference& operator=(const LocalReference&) = delete;

    void reset() noexcept
    {
        if (reference_ != nullptr) {
            environment_->DeleteLocalRef(reference_);
        }
        reference_ = nullptr;
    }
    [[nodiscard]] Reference release() noexcept { return std::exchange(reference_, nullptr); }
    Reference get() const noexcept { return reference_; }
    explicit operator bool() const noexcept { return reference_ != nullptr; }

private:
    Reference reference_ = nullptr;
    JNIEnv* environment_ = nullptr;
};

// A class found by its name together with one of its methods; the method is
// nullptr when the class or the method is missing, and an exception is then
// pending.
struct ClassMethod {
    LocalReference<jclass> type;
    jmethodID method = nullptr;

    explicit operator bool() const noexcept { return method != nullptr; }
};

// Lets the VM print the pending exception, which also clears it. True when
// there was one.
bool describePendingException(JNIEnv* environment);

// FindClass with the name the Java string holds, in the modified UTF-8 the VM
// makes of it. None when the bytes cannot be had or the class is not found.
[[nodiscard]] jclass findClassNamed(jstring name, JNIEnv* environment);

// FindClass with a UTF-16 name in slash form. The name becomes a Java string
// first: FindClass takes modified UTF-8, which no code page can make of every
// class name. None when the string cannot be made or the class is not found.
[[nodiscard]] jclass findClassNamed(std::wstring_view name, JNIEnv* environment);

// The named class and its constructor, or its static method, of the signature.
[[nodiscard]] ClassMethod constructorOf(const char* className, const char* signature,
                                        JNIEnv* environment);
[[nodiscard]] ClassMethod staticMethodOf(const char* className, const char* name,
                                         const char* signature, JNIEnv* environment);

// The method of the object's class, or nullptr.
[[nodiscard]] jmethodID methodOf(jobject object, const char* name, const char* signature,
                                 JNIEnv* environment);

// A new object of the named class through the constructor of the signature,
// given the constructor's arguments after the environment. None when the
// class, the constructor or the object cannot be had.
template <typename... Arguments>
[[nodiscard]] jobject newObjectOf(const char* className, const char* signature, JNIEnv* environment,
                                  Arguments... arguments)
{
    ClassMethod constructor = constructorOf(className, signature, environment);
    if (!constructor) {
        return nullptr;
    }
    return environment->NewObject(constructor.type.get(), constructor.method, arguments...);
}

// A new java.io.PrintStream writing to the output stream; none when it cannot
// be made.
[[nodiscard]] jobject newPrintStream(jobject outputStream, JNIEnv* environment);

// The Java string's characters as UTF-16; empty when they cannot be had.
std::wstring wideFromJavaString(jstring text, JNIEnv* environment);
