// The bridge's JNI function table: every function the launcher (and a
// reasonable native caller) uses becomes a request to the agent, which
// performs it on the real JVM. The rest fail loudly by name.
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "support/bridge/bridge_vm.h"
#include "support/jni_slot_stubs.h"

namespace bridge {

namespace {

jobject objectOf(std::int64_t id)
{
    return reinterpret_cast<jobject>(static_cast<std::uintptr_t>(id));
}

std::int64_t idOf(const void* object)
{
    return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(object));
}

Reply perform(JNIEnv* environment, Request request, const Message& payload = {})
{
    ThreadEnv& thread = threadEnvOf(environment);
    Reply reply = thread.connection.call(request, payload);
    thread.exceptionPending = reply.exceptionPending();
    return reply;
}

Message referring(const void* object)
{
    Message message;
    message.i64(idOf(object));
    return message;
}

void reportUnimplemented(const char* functionName)
{
    failLoudly(std::string("the JNI function ") + functionName + " is not implemented",
               kUnimplementedExitCode);
}

// What a method or field ID stands for: the agent's number and the type
// letters of its signature, where every reference type is 'L'.
struct MethodInfo {
    std::int64_t id = 0;
    std::string parameters;
    char returns = 'V';
};

struct FieldInfo {
    std::int64_t id = 0;
    char type = 'I';
};

std::mutex membersGuard;
std::map<std::int64_t, std::unique_ptr<MethodInfo>> methods;
std::map<std::int64_t, std::unique_ptr<FieldInfo>> fields;

// The letter of the type at the position, which moves past it.
char typeLetter(std::string_view signature, size_t& at)
{
    if (at >= signature.size()) {
        return 'V';
    }
    char letter = signature[at];
    while (at < signature.size() && signature[at] == '[') {
        ++at;
        letter = 'L';
    }
    if (at < signature.size() && signature[at] == 'L') {
        size_t end = signature.find(';', at);
        at = end == std::string_view::npos ? signature.size() : end + 1;
        return 'L';
    }
    ++at;
    return letter;
}

const MethodInfo& methodInfo(jmethodID method) { return *reinterpret_cast<const MethodInfo*>(method); }
const FieldInfo& fieldInfo(jfieldID field) { return *reinterpret_cast<const FieldInfo*>(field); }

// The agent's number for a method or field; 0 with an exception pending when
// the class has none of that name and signature.
std::int64_t memberId(JNIEnv* environment, Request request, jclass type, const char* name,
                      const char* signature, bool isStatic)
{
    Message message = referring(type);
    message.text(name);
    message.text(signature);
    message.byte(isStatic ? 1 : 0);
    return perform(environment, request, message).i64();
}

template <bool IsStatic>
jmethodID JNICALL getMethodId(JNIEnv* environment, jclass type, const char* name, const char* signature)
{
    std::int64_t id = memberId(environment, Request::getMethod, type, name, signature, IsStatic);
    if (id == 0) {
        return nullptr;
    }
    auto info = std::make_unique<MethodInfo>();
    info->id = id;
    std::string_view text(signature);
    size_t at = 1;
    while (at < text.size() && text[at] != ')') {
        info->parameters += typeLetter(text, at);
    }
    ++at;
    info->returns = typeLetter(text, at);
    std::lock_guard<std::mutex> lock(membersGuard);
    auto& held = methods[id];
    if (!held) {
        held = std::move(info);
    }
    return reinterpret_cast<jmethodID>(held.get());
}

template <bool IsStatic>
jfieldID JNICALL getFieldId(JNIEnv* environment, jclass type, const char* name, const char* signature)
{
    std::int64_t id = memberId(environment, Request::getField, type, name, signature, IsStatic);
    if (id == 0) {
        return nullptr;
    }
    size_t at = 0;
    char letter = typeLetter(signature, at);
    std::lock_guard<std::mutex> lock(membersGuard);
    auto& held = fields[id];
    if (!held) {
        held = std::make_unique<FieldInfo>(FieldInfo{id, letter});
    }
    return reinterpret_cast<jfieldID>(held.get());
}

// A value on the wire: its type letter, then the value.
void putValue(Message& message, char letter, const jvalue& value)
{
    message.byte(static_cast<std::uint8_t>(letter));
    switch (letter) {
        case 'Z': message.byte(value.z); break;
        case 'B': message.byte(static_cast<std::uint8_t>(value.b)); break;
        case 'C': message.u16(value.c); break;
        case 'S': message.u16(static_cast<std::uint16_t>(value.s)); break;
        case 'I': message.i32(value.i); break;
        case 'J': message.i64(value.j); break;
        case 'F': {
            std::int32_t bits = 0;
            std::memcpy(&bits, &value.f, sizeof bits);
            message.i32(bits);
            break;
        }
        case 'D': {
            std::int64_t bits = 0;
            std::memcpy(&bits, &value.d, sizeof bits);
            message.i64(bits);
            break;
        }
        default: message.i64(idOf(value.l)); break;
    }
}

// The arguments of a call with "...", in the promoted types C passes them.
std::vector<jvalue> valuesFrom(const MethodInfo& method, va_list arguments)
{
    std::vector<jvalue> values(method.parameters.size());
    for (size_t i = 0; i < values.size(); ++i) {
        switch (method.parameters[i]) {
            case 'Z': values[i].z = static_cast<jboolean>(va_arg(arguments, int)); break;
            case 'B': values[i].b = static_cast<jbyte>(va_arg(arguments, int)); break;
            case 'C': values[i].c = static_cast<jchar>(va_arg(arguments, int)); break;
            case 'S': values[i].s = static_cast<jshort>(va_arg(arguments, int)); break;
            case 'I': values[i].i = va_arg(arguments, jint); break;
            case 'J': values[i].j = va_arg(arguments, jlong); break;
            case 'F': values[i].f = static_cast<jfloat>(va_arg(arguments, double)); break;
            case 'D': values[i].d = va_arg(arguments, double); break;
            default: values[i].l = va_arg(arguments, jobject); break;
        }
    }
    return values;
}

template <typename T>
T valueOf(Reply& reply)
{
    if constexpr (std::is_void_v<T>) {
        return;
    } else if constexpr (std::is_pointer_v<T>) {
        return static_cast<T>(objectOf(reply.i64()));
    } else if constexpr (std::is_same_v<T, jfloat>) {
        std::int32_t bits = reply.i32();
        jfloat value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else if constexpr (std::is_same_v<T, jdouble>) {
        std::int64_t bits = reply.i64();
        jdouble value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else if constexpr (sizeof(T) == 1) {
        return static_cast<T>(reply.byte());
    } else if constexpr (sizeof(T) == 2) {
        return static_cast<T>(reply.u16());
    } else if constexpr (sizeof(T) == 4) {
        return static_cast<T>(reply.i32());
    } else {
        return static_cast<T>(reply.i64());
    }
}

template <typename T>
jvalue asJvalue(T value)
{
    jvalue result{};
    if constexpr (std::is_pointer_v<T>) {
        result.l = value;
    } else if constexpr (std::is_same_v<T, jboolean>) {
        result.z = value;
    } else if constexpr (std::is_same_v<T, jbyte>) {
        result.b = value;
    } else if constexpr (std::is_same_v<T, jchar>) {
        result.c = value;
    } else if constexpr (std::is_same_v<T, jshort>) {
        result.s = value;
    } else if constexpr (std::is_same_v<T, jint>) {
        result.i = value;
    } else if constexpr (std::is_same_v<T, jlong>) {
        result.j = value;
    } else if constexpr (std::is_same_v<T, jfloat>) {
        result.f = value;
    } else {
        result.d = value;
    }
    return result;
}

template <typename R>
R invoke(JNIEnv* environment, CallKind kind, const void* target, jmethodID method, const jvalue* values)
{
    const MethodInfo& info = methodInfo(method);
    Message message;
    message.byte(static_cast<std::uint8_t>(kind));
    message.i64(idOf(target));
    message.i64(info.id);
    message.i32(static_cast<std::int32_t>(info.parameters.size()));
    for (size_t i = 0; i < info.parameters.size(); ++i) {
        putValue(message, info.parameters[i], values[i]);
    }
    Reply reply = perform(environment, Request::call, message);
    return valueOf<R>(reply);
}

template <typename R, typename Target, CallKind Kind>
R JNICALL callA(JNIEnv* environment, Target target, jmethodID method, const jvalue* values)
{
    return invoke<R>(environment, Kind, target, method, values);
}

template <typename R, typename Target, CallKind Kind>
R JNICALL callV(JNIEnv* environment, Target target, jmethodID method, va_list arguments)
{
    std::vector<jvalue> values = valuesFrom(methodInfo(method), arguments);
    return invoke<R>(environment, Kind, target, method, values.data());
}

template <typename R, typename Target, CallKind Kind>
R JNICALL callVarargs(JNIEnv* environment, Target target, jmethodID method, ...)
{
    va_list arguments;
    va_start(arguments, method);
    std::vector<jvalue> values = valuesFrom(methodInfo(method), arguments);
    va_end(arguments);
    return invoke<R>(environment, Kind, target, method, values.data());
}

template <typename T, typename Holder>
T JNICALL getFieldValue(JNIEnv* environment, Holder holder, jfieldID field)
{
    Message message = referring(holder);
    message.i64(fieldInfo(field).id);
    Reply reply = perform(environment, Request::getFieldValue, message);
    return valueOf<T>(reply);
}

template <typename T, typename Holder>
void JNICALL setFieldValue(JNIEnv* environment, Holder holder, jfieldID field, T value)
{
    Message message = referring(holder);
    message.i64(fieldInfo(field).id);
    putValue(message, fieldInfo(field).type, asJvalue(value));
    perform(environment, Request::setFieldValue, message);
}

template <typename T, char Letter, typename Array>
Array JNICALL newPrimitiveArray(JNIEnv* environment, jsize length)
{
    Message message;
    message.byte(static_cast<std::uint8_t>(Letter));
    message.i32(length);
    return static_cast<Array>(objectOf(perform(environment, Request::newPrimitiveArray, message).i64()));
}

template <typename T, char Letter, typename Array>
void JNICALL getRegion(JNIEnv* environment, Array array, jsize start, jsize length, T* buffer)
{
    Message message = referring(array);
    message.i32(start);
    message.i32(length);
    Reply reply = perform(environment, Request::getPrimitiveRegion, message);
    if (reply.exceptionPending()) {
        return;
    }
    for (jsize i = 0; i < length; ++i) {
        buffer[i] = valueOf<T>(reply);
    }
}

template <typename T, char Letter, typename Array>
void JNICALL setRegion(JNIEnv* environment, Array array, jsize start, jsize length, const T* buffer)
{
    Message message = referring(array);
    message.i32(start);
    message.i32(length);
    for (jsize i = 0; i < length; ++i) {
        putValue(message, Letter, asJvalue(buffer[i]));
    }
    perform(environment, Request::setPrimitiveRegion, message);
}

jsize JNICALL getArrayLength(JNIEnv* environment, jarray array)
{
    return perform(environment, Request::arrayLength, referring(array)).i32();
}

// The elements handed out are a copy, led by what their release needs.
struct alignas(8) ElementsHeader {
    jarray array;
    jsize length;
};

template <typename T, char Letter, typename Array>
T* JNICALL getElements(JNIEnv* environment, Array array, jboolean* isCopy)
{
    jsize length = getArrayLength(environment, array);
    auto* header = static_cast<ElementsHeader*>(
        std::malloc(sizeof(ElementsHeader) + sizeof(T) * static_cast<size_t>(length)));
    if (header == nullptr) {
        return nullptr;
    }
    header->array = array;
    header->length = length;
    T* elements = reinterpret_cast<T*>(header + 1);
    getRegion<T, Letter, Array>(environment, array, 0, length, elements);
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    return elements;
}

template <typename T, char Letter, typename Array>
void JNICALL releaseElements(JNIEnv* environment, Array array, T* elements, jint mode)
{
    ElementsHeader* header = reinterpret_cast<ElementsHeader*>(elements) - 1;
    if (mode != JNI_ABORT) {
        setRegion<T, Letter, Array>(environment, array, 0, header->length, elements);
    }
    if (mode != JNI_COMMIT) {
        std::free(header);
    }
}

jclass JNICALL findClass(JNIEnv* environment, const char* name)
{
    Message message;
    message.text(name);
    return static_cast<jclass>(objectOf(perform(environment, Request::findClass, message).i64()));
}

jclass JNICALL getObjectClass(JNIEnv* environment, jobject object)
{
    return static_cast<jclass>(
        objectOf(perform(environment, Request::getObjectClass, referring(object)).i64()));
}

jclass JNICALL getSuperclass(JNIEnv* environment, jclass type)
{
    return static_cast<jclass>(
        objectOf(perform(environment, Request::getSuperclass, referring(type)).i64()));
}

jboolean JNICALL isAssignableFrom(JNIEnv* environment, jclass from, jclass to)
{
    Message message = referring(from);
    message.i64(idOf(to));
    return perform(environment, Request::isAssignable, message).byte();
}

jboolean JNICALL isInstanceOf(JNIEnv* environment, jobject object, jclass type)
{
    Message message = referring(object);
    message.i64(idOf(type));
    return perform(environment, Request::isInstance, message).byte();
}

jobject JNICALL newReference(JNIEnv* environment, jobject object)
{
    if (object == nullptr) {
        return nullptr;
    }
    return objectOf(perform(environment, Request::newReference, referring(object)).i64());
}

void JNICALL deleteReference(JNIEnv* environment, jobject object)
{
    if (object != nullptr) {
        threadEnvOf(environment).connection.post(Request::deleteReference, referring(object));
    }
}

jboolean JNICALL isSameObject(JNIEnv* environment, jobject first, jobject second)
{
    if (first == second) {
        return JNI_TRUE;
    }
    Message message = referring(first);
    message.i64(idOf(second));
    return perform(environment, Request::isSame, message).byte();
}

jint JNICALL ensureLocalCapacity(JNIEnv*, jint) { return JNI_OK; }
jint JNICALL pushLocalFrame(JNIEnv*, jint) { return JNI_OK; }
jobject JNICALL popLocalFrame(JNIEnv*, jobject result) { return result; }

jint JNICALL throwObject(JNIEnv* environment, jthrowable throwable)
{
    perform(environment, Request::throwObject, referring(throwable));
    return JNI_OK;
}

jint JNICALL throwNew(JNIEnv* environment, jclass type, const char* text)
{
    Message message = referring(type);
    message.byte(text != nullptr ? 1 : 0);
    if (text != nullptr) {
        message.text(text);
    }
    return perform(environment, Request::throwNew, message).i32();
}

jthrowable JNICALL exceptionOccurred(JNIEnv* environment)
{
    if (!threadEnvOf(environment).exceptionPending) {
        return nullptr;
    }
    return static_cast<jthrowable>(objectOf(perform(environment, Request::exceptionOccurred).i64()));
}

void JNICALL exceptionDescribe(JNIEnv* environment)
{
    perform(environment, Request::exceptionDescribe);
}

void JNICALL exceptionClear(JNIEnv* environment) { perform(environment, Request::exceptionClear); }

jboolean JNICALL exceptionCheck(JNIEnv* environment)
{
    return threadEnvOf(environment).exceptionPending ? JNI_TRUE : JNI_FALSE;
}

void JNICALL fatalError(JNIEnv*, const char* text)
{
    // A real VM prints this and aborts; 3 is what abort() leaves on Windows.
    failLoudly(std::string("FATAL ERROR in native method: ") + (text ? text : ""), 3);
}

jint JNICALL getVersion(JNIEnv*) { return 0x000a0000; }

jint JNICALL getJavaVm(JNIEnv*, JavaVM** vm)
{
    *vm = bridgeVm();
    return JNI_OK;
}

jstring JNICALL newStringUtf(JNIEnv* environment, const char* bytes)
{
    if (bytes == nullptr) {
        return nullptr;
    }
    Message message;
    message.text(bytes);
    return static_cast<jstring>(objectOf(perform(environment, Request::newStringUtf, message).i64()));
}

jstring JNICALL newString(JNIEnv* environment, const jchar* chars, jsize length)
{
    Message message;
    message.i32(length);
    for (jsize i = 0; i < length; ++i) {
        message.u16(chars[i]);
    }
    return static_cast<jstring>(objectOf(perform(environment, Request::newString, message).i64()));
}

std::u16string stringChars(JNIEnv* environment, jstring text)
{
    Reply reply = perform(environment, Request::stringChars, referring(text));
    std::int32_t length = reply.i32();
    std::u16string chars;
    for (std::int32_t i = 0; i < length; ++i) {
        chars += static_cast<char16_t>(reply.u16());
    }
    return chars;
}

jsize JNICALL getStringLength(JNIEnv* environment, jstring text)
{
    return static_cast<jsize>(stringChars(environment, text).size());
}

const jchar* JNICALL getStringChars(JNIEnv* environment, jstring text, jboolean* isCopy)
{
    std::u16string chars = stringChars(environment, text);
    auto* copy = static_cast<jchar*>(std::malloc((chars.size() + 1) * sizeof(jchar)));
    if (copy != nullptr) {
        std::memcpy(copy, chars.data(), chars.size() * sizeof(jchar));
        copy[chars.size()] = 0;
    }
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    return copy;
}

void JNICALL releaseStringChars(JNIEnv*, jstring, const jchar* chars)
{
    std::free(const_cast<jchar*>(chars));
}

void JNICALL getStringRegion(JNIEnv* environment, jstring text, jsize start, jsize length, jchar* buffer)
{
    std::u16string chars = stringChars(environment, text);
    for (jsize i = 0; i < length && static_cast<size_t>(start + i) < chars.size(); ++i) {
        buffer[i] = chars[static_cast<size_t>(start + i)];
    }
}

const jchar* JNICALL getStringCritical(JNIEnv* environment, jstring text, jboolean* isCopy)
{
    return getStringChars(environment, text, isCopy);
}

void JNICALL releaseStringCritical(JNIEnv* environment, jstring text, const jchar* chars)
{
    releaseStringChars(environment, text, chars);
}

std::string stringUtf(JNIEnv* environment, jstring text)
{
    return perform(environment, Request::stringUtf, referring(text)).text();
}

jsize JNICALL getStringUtfLength(JNIEnv* environment, jstring text)
{
    return static_cast<jsize>(stringUtf(environment, text).size());
}

const char* JNICALL getStringUtfChars(JNIEnv* environment, jstring text, jboolean* isCopy)
{
    std::string bytes = stringUtf(environment, text);
    auto* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    }
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    return copy;
}

void JNICALL releaseStringUtfChars(JNIEnv*, jstring, const char* bytes)
{
    std::free(const_cast<char*>(bytes));
}

jobjectArray JNICALL newObjectArray(JNIEnv* environment, jsize length, jclass type, jobject initial)
{
    Message message;
    message.i32(length);
    message.i64(idOf(type));
    message.i64(idOf(initial));
    return static_cast<jobjectArray>(objectOf(perform(environment, Request::newObjectArray, message).i64()));
}

jobject JNICALL getObjectArrayElement(JNIEnv* environment, jobjectArray array, jsize index)
{
    Message message = referring(array);
    message.i32(index);
    return objectOf(perform(environment, Request::getObjectElement, message).i64());
}

void JNICALL setObjectArrayElement(JNIEnv* environment, jobjectArray array, jsize index, jobject value)
{
    Message message = referring(array);
    message.i32(index);
    message.i64(idOf(value));
    perform(environment, Request::setObjectElement, message);
}

// The calls, fields and arrays of one Java type, in every form JNI offers.
#define BRIDGE_TYPED_FUNCTIONS(Name, Type)                                                    \
    table.Call##Name##Method = callVarargs<Type, jobject, CallKind::onObject>;                \
    table.Call##Name##MethodV = callV<Type, jobject, CallKind::onObject>;                     \
    table.Call##Name##MethodA = callA<Type, jobject, CallKind::onObject>;                     \
    table.CallStatic##Name##Method = callVarargs<Type, jclass, CallKind::onClass>;            \
    table.CallStatic##Name##MethodV = callV<Type, jclass, CallKind::onClass>;                 \
    table.CallStatic##Name##MethodA = callA<Type, jclass, CallKind::onClass>;                 \
    table.Get##Name##Field = getFieldValue<Type, jobject>;                                    \
    table.Set##Name##Field = setFieldValue<Type, jobject>;                                    \
    table.GetStatic##Name##Field = getFieldValue<Type, jclass>;                               \
    table.SetStatic##Name##Field = setFieldValue<Type, jclass>;

#define BRIDGE_ARRAY_FUNCTIONS(Name, Type, Letter)                                            \
    table.New##Name##Array = newPrimitiveArray<Type, Letter, Type##Array>;                    \
    table.Get##Name##ArrayRegion = getRegion<Type, Letter, Type##Array>;                      \
    table.Set##Name##ArrayRegion = setRegion<Type, Letter, Type##Array>;                      \
    table.Get##Name##ArrayElements = getElements<Type, Letter, Type##Array>;                  \
    table.Release##Name##ArrayElements = releaseElements<Type, Letter, Type##Array>;

JNINativeInterface_ buildTable()
{
    JNINativeInterface_ table{};
    harness::fillWithUnimplementedStubs<&reportUnimplemented>(table);
    table.GetVersion = getVersion;
    table.FindClass = findClass;
    table.GetSuperclass = getSuperclass;
    table.IsAssignableFrom = isAssignableFrom;
    table.Throw = throwObject;
    table.ThrowNew = throwNew;
    table.ExceptionOccurred = exceptionOccurred;
    table.ExceptionDescribe = exceptionDescribe;
    table.ExceptionClear = exceptionClear;
    table.ExceptionCheck = exceptionCheck;
    table.FatalError = fatalError;
    table.PushLocalFrame = pushLocalFrame;
    table.PopLocalFrame = popLocalFrame;
    table.NewGlobalRef = newReference;
    table.DeleteGlobalRef = deleteReference;
    table.DeleteLocalRef = deleteReference;
    table.NewLocalRef = newReference;
    table.NewWeakGlobalRef = newReference;
    table.DeleteWeakGlobalRef = deleteReference;
    table.IsSameObject = isSameObject;
    table.EnsureLocalCapacity = ensureLocalCapacity;
    table.NewObject = callVarargs<jobject, jclass, CallKind::construct>;
    table.NewObjectV = callV<jobject, jclass, CallKind::construct>;
    table.NewObjectA = callA<jobject, jclass, CallKind::construct>;
    table.GetObjectClass = getObjectClass;
    table.IsInstanceOf = isInstanceOf;
    table.GetMethodID = getMethodId<false>;
    table.GetStaticMethodID = getMethodId<true>;
    table.GetFieldID = getFieldId<false>;
    table.GetStaticFieldID = getFieldId<true>;
    BRIDGE_TYPED_FUNCTIONS(Object, jobject)
    BRIDGE_TYPED_FUNCTIONS(Boolean, jboolean)
    BRIDGE_TYPED_FUNCTIONS(Byte, jbyte)
    BRIDGE_TYPED_FUNCTIONS(Char, jchar)
    BRIDGE_TYPED_FUNCTIONS(Short, jshort)
    BRIDGE_TYPED_FUNCTIONS(Int, jint)
    BRIDGE_TYPED_FUNCTIONS(Long, jlong)
    BRIDGE_TYPED_FUNCTIONS(Float, jfloat)
    BRIDGE_TYPED_FUNCTIONS(Double, jdouble)
    table.CallVoidMethod = callVarargs<void, jobject, CallKind::onObject>;
    table.CallVoidMethodV = callV<void, jobject, CallKind::onObject>;
    table.CallVoidMethodA = callA<void, jobject, CallKind::onObject>;
    table.CallStaticVoidMethod = callVarargs<void, jclass, CallKind::onClass>;
    table.CallStaticVoidMethodV = callV<void, jclass, CallKind::onClass>;
    table.CallStaticVoidMethodA = callA<void, jclass, CallKind::onClass>;
    table.NewString = newString;
    table.GetStringLength = getStringLength;
    table.GetStringChars = getStringChars;
    table.ReleaseStringChars = releaseStringChars;
    table.GetStringRegion = getStringRegion;
    table.GetStringCritical = getStringCritical;
    table.ReleaseStringCritical = releaseStringCritical;
    table.NewStringUTF = newStringUtf;
    table.GetStringUTFLength = getStringUtfLength;
    table.GetStringUTFChars = getStringUtfChars;
    table.ReleaseStringUTFChars = releaseStringUtfChars;
    table.GetArrayLength = getArrayLength;
    table.NewObjectArray = newObjectArray;
    table.GetObjectArrayElement = getObjectArrayElement;
    table.SetObjectArrayElement = setObjectArrayElement;
    BRIDGE_ARRAY_FUNCTIONS(Boolean, jboolean, 'Z')
    BRIDGE_ARRAY_FUNCTIONS(Byte, jbyte, 'B')
    BRIDGE_ARRAY_FUNCTIONS(Char, jchar, 'C')
    BRIDGE_ARRAY_FUNCTIONS(Short, jshort, 'S')
    BRIDGE_ARRAY_FUNCTIONS(Int, jint, 'I')
    BRIDGE_ARRAY_FUNCTIONS(Long, jlong, 'J')
    BRIDGE_ARRAY_FUNCTIONS(Float, jfloat, 'F')
    BRIDGE_ARRAY_FUNCTIONS(Double, jdouble, 'D')
    table.GetJavaVM = getJavaVm;
    return table;
}

#undef BRIDGE_TYPED_FUNCTIONS
#undef BRIDGE_ARRAY_FUNCTIONS

}  // namespace

const JNINativeInterface_* nativeInterface()
{
    static const JNINativeInterface_ table = buildTable();
    return &table;
}

jclass findBootClass(JNIEnv* environment, const char* name)
{
    Message message;
    message.text(name);
    return static_cast<jclass>(objectOf(perform(environment, Request::bootFindClass, message).i64()));
}

}  // namespace bridge
