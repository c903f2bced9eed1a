// JNI functions that look up and call methods and construct objects. Every
// call is checked the way a strict VM would: the id must be one this runtime
// handed out, static or not as the call says, belong to the class or object
// given, and return what the Call<Type>Method form expects. A launcher that
// gets any of that wrong ends the process loudly instead of corrupting memory.
#include <cstdarg>

#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/jni_tables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"

namespace test_jvm {

namespace {

const MethodInfo* lookUpMethod(JNIEnv* environment, jclass classHandle, const char* name,
                               const char* signature, bool isStatic)
{
    const char* where = isStatic ? "GetStaticMethodID" : "GetMethodID";
    ThreadState& thread = threadOf(environment);
    ClassInfo* found = classFromHandle(classHandle, where);
    if (found == nullptr || name == nullptr || signature == nullptr) {
        failLoudly(std::string(where) + " with a null class, name or signature");
    }
    traceLine(std::string(where) + " " + found->name + " " + name + " " + signature);
    const MethodInfo* method = found->findMethod(name, signature, isStatic);
    if (method == nullptr && !found->quietMissingMethods) {
        throwNew(thread, "java/lang/NoSuchMethodError",
                 std::u16string(name, name + std::char_traits<char>::length(name)));
    }
    return method;
}

jmethodID JNICALL getMethodId(JNIEnv* environment, jclass classHandle, const char* name,
                              const char* signature)
{
    const MethodInfo* method = lookUpMethod(environment, classHandle, name, signature, false);
    return method != nullptr ? idOf(*method) : nullptr;
}

jmethodID JNICALL getStaticMethodId(JNIEnv* environment, jclass classHandle, const char* name,
                                    const char* signature)
{
    const MethodInfo* method = lookUpMethod(environment, classHandle, name, signature, true);
    return method != nullptr ? idOf(*method) : nullptr;
}

// The arguments of a varargs call as the signature names them; C passes
// small integers as int and float as double.
std::vector<jvalue> argumentsFrom(const MethodInfo& method, va_list list)
{
    std::vector<jvalue> arguments;
    for (char kind : method.parameterKinds()) {
        jvalue value{};
        switch (kind) {
            case 'Z':
                value.z = static_cast<jboolean>(va_arg(list, int));
                break;
            case 'B':
                value.b = static_cast<jbyte>(va_arg(list, int));
                break;
            case 'C':
                value.c = static_cast<jchar>(va_arg(list, int));
                break;
            case 'S':
                value.s = static_cast<jshort>(va_arg(list, int));
                break;
            case 'I':
                value.i = va_arg(list, jint);
                break;
            case 'J':
                value.j = va_arg(list, jlong);
                break;
            case 'F':
                value.f = static_cast<jfloat>(va_arg(list, double));
                break;
            case 'D':
                value.d = va_arg(list, double);
                break;
            default:
                value.l = va_arg(list, jobject);
                break;
        }
        arguments.push_back(value);
    }
    return arguments;
}

// A method called by a Call<Type>Method form: checks the id against the
// receiver and the expected return kind ('L' for any reference).
const MethodInfo& checkedMethod(jmethodID id, bool isStatic, char returnKind,
                                const ClassInfo& receiverClass, std::string_view where)
{
    const MethodInfo* method = methodFromId(id, where);
    if (method->isStatic != isStatic) {
        failLoudly(std::string(where) + ": " + method->name + " is " +
                   (method->isStatic ? "static" : "an instance method"));
    }
    if (method->name == "<init>") {
        failLoudly(std::string(where) + ": a constructor is called through NewObject");
    }
    if (!receiverClass.isSubclassOf(*method->owner)) {
        failLoudly(std::string(where) + ": " + method->owner->name + "." + method->name +
                   " called on " + receiverClass.name);
    }
    if (method->returnKind() != returnKind) {
        failLoudly(std::string(where) + ": " + method->name + method->signature +
                   " does not return what the call expects");
    }
    return *method;
}

jvalue callInstance(JNIEnv* environment, jobject object, jmethodID id, char returnKind,
                    const jvalue* arguments, va_list* list, std::string_view where)
{
    ThreadState& thread = threadOf(environment);
    JavaObject* self = objectFromHandle(object, where);
    if (self == nullptr) {
        failLoudly(std::string(where) + " on a null object");
    }
    const MethodInfo& method = checkedMethod(id, false, returnKind, *self->objectClass, where);
    if (list != nullptr) {
        std::vector<jvalue> read = argumentsFrom(method, *list);
        return method.body(thread, self, read.data());
    }
    return method.body(thread, self, arguments);
}

jvalue callStatic(JNIEnv* environment, jclass classHandle, jmethodID id, char returnKind,
                  const jvalue* arguments, va_list* list, std::string_view where)
{
    ThreadState& thread = threadOf(environment);
    ClassInfo* receiver = classFromHandle(classHandle, where);
    if (receiver == nullptr) {
        failLoudly(std::string(where) + " on a null class");
    }
    const MethodInfo& method = checkedMethod(id, true, returnKind, *receiver, where);
    if (list != nullptr) {
        std::vector<jvalue> read = argumentsFrom(method, *list);
        return method.body(thread, nullptr, read.data());
    }
    return method.body(thread, nullptr, arguments);
}

jobject construct(JNIEnv* environment, jclass classHandle, jmethodID id, const jvalue* arguments,
                  va_list* list)
{
    ThreadState& thread = threadOf(environment);
    ClassInfo* target = classFromHandle(classHandle, "NewObject");
    if (target == nullptr) {
        failLoudly("NewObject of a null class");
    }
    const MethodInfo* method = methodFromId(id, "NewObject");
    if (method->name != "<init>" || method->owner != target) {
        failLoudly("NewObject of " + target->name + " with " + method->owner->name + "." +
                   method->name);
    }
    if (list != nullptr) {
        std::vector<jvalue> read = argumentsFrom(*method, *list);
        return method->body(thread, nullptr, read.data()).l;
    }
    return method->body(thread, nullptr, arguments).l;
}

jobject JNICALL newObjectV(JNIEnv* environment, jclass classHandle, jmethodID id, va_list list)
{
    return construct(environment, classHandle, id, nullptr, &list);
}

jobject JNICALL newObjectA(JNIEnv* environment, jclass classHandle, jmethodID id,
                           const jvalue* arguments)
{
    return construct(environment, classHandle, id, arguments, nullptr);
}

jobject JNICALL newObject(JNIEnv* environment, jclass classHandle, jmethodID id, ...)
{
    va_list list;
    va_start(list, id);
    jobject result = construct(environment, classHandle, id, nullptr, &list);
    va_end(list);
    return result;
}

// The Call<Type>Method, Call<Type>MethodV and Call<Type>MethodA functions,
// instance and static, for one result type.
#define TEST_JVM_CALL_FUNCTIONS(Type, ResultType, kind, take)                                     \
    ResultType JNICALL call##Type##MethodV(JNIEnv* environment, jobject object, jmethodID id,     \
                                           va_list list)                                          \
    {                                                                                             \
        jvalue result =                                                                           \
            callInstance(environment, object, id, kind, nullptr, &list, "Call" #Type "Method");   \
        return take;                                                                              \
    }                                                                                             \
    ResultType JNICALL call##Type##MethodA(JNIEnv* environment, jobject object, jmethodID id,     \
                                           const jvalue* arguments)                               \
    {                                                                                             \
        jvalue result = callInstance(environment, object, id, kind, arguments, nullptr,           \
                                     "Call" #Type "Method");                                      \
        return take;                                                                              \
    }                                                                                             \
    ResultType JNICALL call##Type##Method(JNIEnv* environment, jobject object, jmethodID id, ...) \
    {                                                                                             \
        va_list list;                                                                             \
        va_start(list, id);                                                                       \
        jvalue result =                                                                           \
            callInstance(environment, object, id, kind, nullptr, &list, "Call" #Type "Method");   \
        va_end(list);                                                                             \
        return take;                                                                              \
    }                                                                                             \
    ResultType JNICALL callStatic##Type##MethodV(JNIEnv* environment, jclass classHandle,         \
                                                 jmethodID id, va_list list)                      \
    {                                                                                             \
        jvalue result = callStatic(environment, classHandle, id, kind, nullptr, &list,            \
                                   "CallStatic" #Type "Method");                                  \
        return take;                                                                              \
    }                                                                                             \
    ResultType JNICALL callStatic##Type##MethodA(JNIEnv* environment, jclass classHandle,         \
                                                 jmethodID id, const jvalue* arguments)           \
    {                                                                                             \
        jvalue result = callStatic(environment, classHandle, id, kind, arguments, nullptr,        \
                                   "CallStatic" #Type "Method");                                  \
        return take;                                                                              \
    }                                                                                             \
    ResultType JNICALL callStatic##Type##Method(JNIEnv* environment, jclass classHandle,          \
                                                jmethodID id, ...)                                \
    {                                                                                             \
        va_list list;                                                                             \
        va_start(list, id);                                                                       \
        jvalue result = callStatic(environment, classHandle, id, kind, nullptr, &list,            \
                                   "CallStatic" #Type "Method");                                  \
        va_end(list);                                                                             \
        return take;                                                                              \
    }

TEST_JVM_CALL_FUNCTIONS(Object, jobject, 'L', result.l)
TEST_JVM_CALL_FUNCTIONS(Boolean, jboolean, 'Z', result.z)
TEST_JVM_CALL_FUNCTIONS(Int, jint, 'I', result.i)
TEST_JVM_CALL_FUNCTIONS(Void, void, 'V', (void)result)

#undef TEST_JVM_CALL_FUNCTIONS

}  // namespace

void installCallFunctions(JNINativeInterface_& table)
{
    table.GetMethodID = getMethodId;
    table.GetStaticMethodID = getStaticMethodId;
    table.NewObject = newObject;
    table.NewObjectV = newObjectV;
    table.NewObjectA = newObjectA;
#define TEST_JVM_INSTALL_CALLS(Type)                             \
    table.Call##Type##Method = call##Type##Method;               \
    table.Call##Type##MethodV = call##Type##MethodV;             \
    table.Call##Type##MethodA = call##Type##MethodA;             \
    table.CallStatic##Type##Method = callStatic##Type##Method;   \
    table.CallStatic##Type##MethodV = callStatic##Type##MethodV; \
    table.CallStatic##Type##MethodA = callStatic##Type##MethodA;
    TEST_JVM_INSTALL_CALLS(Object)
    TEST_JVM_INSTALL_CALLS(Boolean)
    TEST_JVM_INSTALL_CALLS(Int)
    TEST_JVM_INSTALL_CALLS(Void)
#undef TEST_JVM_INSTALL_CALLS
}

}  // namespace test_jvm
