// JNI functions about classes, exceptions and references. References need
// no bookkeeping: objects are never freed, so local and global references
// are the object's own address; deleting one only checks the handle.
#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/java_text.h"
#include "support/test_jvm/jni_tables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"

namespace test_jvm {

namespace {

jint JNICALL getVersion(JNIEnv*)
{
    return JNI_VERSION_1_8;
}

jclass JNICALL findClass(JNIEnv* environment, const char* name)
{
    ThreadState& thread = threadOf(environment);
    if (name == nullptr) {
        failLoudly("FindClass with a null name");
    }
    traceLine(std::string("FindClass ") + name);
    ClassInfo* found = findVisibleClass(name);
    if (found == nullptr) {
        // As a real VM: the internal name in the message, a dotted name not found.
        throwNew(thread, "java/lang/NoClassDefFoundError", utf16FromModifiedUtf8(name));
        return nullptr;
    }
    return handleOf(*found);
}

jclass JNICALL getSuperclass(JNIEnv*, jclass subclass)
{
    ClassInfo* found = classFromHandle(subclass, "GetSuperclass");
    if (found == nullptr) {
        failLoudly("GetSuperclass of a null class");
    }
    return found->superclass != nullptr ? handleOf(*found->superclass) : nullptr;
}

jboolean JNICALL isAssignableFrom(JNIEnv*, jclass from, jclass to)
{
    ClassInfo* fromClass = classFromHandle(from, "IsAssignableFrom");
    ClassInfo* toClass = classFromHandle(to, "IsAssignableFrom");
    if (fromClass == nullptr || toClass == nullptr) {
        failLoudly("IsAssignableFrom with a null class");
    }
    return fromClass->isSubclassOf(*toClass) ? JNI_TRUE : JNI_FALSE;
}

jint JNICALL throwObject(JNIEnv* environment, jthrowable throwable)
{
    ThreadState& thread = threadOf(environment);
    auto* object = objectOfKind<ThrowableObject>(throwable, "Throw");
    if (object == nullptr) {
        failLoudly("Throw of a null object");
    }
    thread.pending = object;
    return JNI_OK;
}

jint JNICALL throwNewObject(JNIEnv* environment, jclass throwableClass, const char* message)
{
    ThreadState& thread = threadOf(environment);
    ClassInfo* found = classFromHandle(throwableClass, "ThrowNew");
    ClassInfo* throwable = loadedClass("java/lang/Throwable");
    if (found == nullptr || !found->isSubclassOf(*throwable)) {
        failLoudly("ThrowNew with a class that is no Throwable");
    }
    throwNew(thread, found->name,
             message != nullptr ? std::optional(utf16FromModifiedUtf8(message)) : std::nullopt);
    return JNI_OK;
}

jthrowable JNICALL exceptionOccurred(JNIEnv* environment)
{
    return static_cast<jthrowable>(handleOf(threadOf(environment).pending));
}

void JNICALL exceptionDescribe(JNIEnv* environment)
{
    describePendingException(threadOf(environment));
}

void JNICALL exceptionClear(JNIEnv* environment)
{
    threadOf(environment).pending = nullptr;
}

jboolean JNICALL exceptionCheck(JNIEnv* environment)
{
    return threadOf(environment).pending != nullptr ? JNI_TRUE : JNI_FALSE;
}

void JNICALL fatalError(JNIEnv*, const char* message)
{
    failLoudly(std::string("FatalError ") + (message != nullptr ? message : "(null)"));
}

jint JNICALL pushLocalFrame(JNIEnv*, jint capacity)
{
    return capacity >= 0 ? JNI_OK : JNI_ERR;
}

jobject JNICALL popLocalFrame(JNIEnv*, jobject result)
{
    objectFromHandle(result, "PopLocalFrame");
    return result;
}

jobject JNICALL newReference(JNIEnv*, jobject object)
{
    objectFromHandle(object, "NewGlobalRef/NewLocalRef");
    return object;
}

void JNICALL deleteReference(JNIEnv*, jobject object)
{
    objectFromHandle(object, "DeleteGlobalRef/DeleteLocalRef");
}

jboolean JNICALL isSameObject(JNIEnv*, jobject first, jobject second)
{
    objectFromHandle(first, "IsSameObject");
    objectFromHandle(second, "IsSameObject");
    return first == second ? JNI_TRUE : JNI_FALSE;
}

jint JNICALL ensureLocalCapacity(JNIEnv*, jint capacity)
{
    return capacity >= 0 ? JNI_OK : JNI_ERR;
}

jclass JNICALL getObjectClass(JNIEnv*, jobject object)
{
    JavaObject* found = objectFromHandle(object, "GetObjectClass");
    if (found == nullptr) {
        failLoudly("GetObjectClass of a null object");
    }
    return handleOf(*found->objectClass);
}

jboolean JNICALL isInstanceOf(JNIEnv*, jobject object, jclass expected)
{
    JavaObject* found = objectFromHandle(object, "IsInstanceOf");
    ClassInfo* expectedClass = classFromHandle(expected, "IsInstanceOf");
    if (expectedClass == nullptr) {
        failLoudly("IsInstanceOf with a null class");
    }
    // null is an instance of every class, as JNI defines it.
    return found == nullptr || found->objectClass->isSubclassOf(*expectedClass) ? JNI_TRUE
                                                                                : JNI_FALSE;
}

jint JNICALL getJavaVm(JNIEnv*, JavaVM** vm)
{
    if (vm == nullptr) {
        failLoudly("GetJavaVM without a place for the result");
    }
    *vm = javaVm();
    return JNI_OK;
}

}  // namespace

void installObjectFunctions(JNINativeInterface_& table)
{
    table.GetVersion = getVersion;
    table.FindClass = findClass;
    table.GetSuperclass = getSuperclass;
    table.IsAssignableFrom = isAssignableFrom;
    table.Throw = throwObject;
    table.ThrowNew = throwNewObject;
    table.ExceptionOccurred = exceptionOccurred;
    table.ExceptionDescribe = exceptionDescribe;
    table.ExceptionClear = exceptionClear;
    table.ExceptionCheck = exceptionCheck;
    table.FatalError = fatalError;
    table.PushLocalFrame = pushLocalFrame;
    table.PopLocalFrame = popLocalFrame;
    table.NewGlobalRef = newReference;
    table.NewLocalRef = newReference;
    table.DeleteGlobalRef = deleteReference;
    table.DeleteLocalRef = deleteReference;
    table.IsSameObject = isSameObject;
    table.EnsureLocalCapacity = ensureLocalCapacity;
    table.GetObjectClass = getObjectClass;
    table.IsInstanceOf = isInstanceOf;
    table.GetJavaVM = getJavaVm;
}

}  // namespace test_jvm
