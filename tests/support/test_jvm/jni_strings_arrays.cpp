// JNI functions for strings and arrays. The buffers GetStringChars and
// GetStringUTFChars hand out are remembered until released, so releasing a
// pointer the runtime never gave out (or twice) is caught loudly.
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/java_text.h"
#include "support/test_jvm/jni_tables.h"
#include "support/test_jvm/vm_state.h"

namespace test_jvm {

namespace {

struct HandedOutBuffers {
    std::mutex mutex;
    std::unordered_set<const void*> buffers;
};

HandedOutBuffers& handedOut()
{
    static HandedOutBuffers* instance = new HandedOutBuffers();
    return *instance;
}

template <typename Unit>
Unit* handOut(const std::basic_string<Unit>& text)
{
    auto* buffer = new Unit[text.size() + 1];
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(Unit));
    std::lock_guard lock(handedOut().mutex);
    handedOut().buffers.insert(buffer);
    return buffer;
}

template <typename Unit>
void takeBack(const Unit* buffer, std::string_view where)
{
    {
        std::lock_guard lock(handedOut().mutex);
        if (handedOut().buffers.erase(buffer) == 0) {
            failLoudly(std::string(where) + ": a buffer the VM did not hand out");
        }
    }
    delete[] buffer;
}

StringObject& stringOf(jstring string, std::string_view where)
{
    auto* found = objectOfKind<StringObject>(string, where);
    if (found == nullptr) {
        failLoudly(std::string(where) + " of a null string");
    }
    return *found;
}

// Leaves ArrayIndexOutOfBoundsException pending when start and length do not
// lie inside a sequence of `size` elements.
bool inBounds(ThreadState& thread, jsize start, jsize length, size_t size)
{
    if (start < 0 || length < 0 || static_cast<size_t>(start) + length > size) {
        throwNew(thread, "java/lang/ArrayIndexOutOfBoundsException", u"Array region out of bounds");
        return false;
    }
    return true;
}

jstring JNICALL newStringFromUnits(JNIEnv*, const jchar* units, jsize length)
{
    if (units == nullptr && length != 0) {
        failLoudly("NewString without characters");
    }
    return static_cast<jstring>(
        handleOf(newString(std::u16string(reinterpret_cast<const char16_t*>(units), length))));
}

jsize JNICALL getStringLength(JNIEnv*, jstring string)
{
    return static_cast<jsize>(stringOf(string, "GetStringLength").text.size());
}

const jchar* JNICALL getStringChars(JNIEnv*, jstring string, jboolean* isCopy)
{
    const std::u16string& text = stringOf(string, "GetStringChars").text;
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    return reinterpret_cast<const jchar*>(handOut(text));
}

void JNICALL releaseStringChars(JNIEnv*, jstring string, const jchar* chars)
{
    stringOf(string, "ReleaseStringChars");
    takeBack(reinterpret_cast<const char16_t*>(chars), "ReleaseStringChars");
}

jstring JNICALL newStringUtf(JNIEnv*, const char* bytes)
{
    if (bytes == nullptr) {
        return nullptr;
    }
    return static_cast<jstring>(handleOf(newString(utf16FromModifiedUtf8(bytes))));
}

jsize JNICALL getStringUtfLength(JNIEnv*, jstring string)
{
    return static_cast<jsize>(
        modifiedUtf8FromUtf16(stringOf(string, "GetStringUTFLength").text).size());
}

const char* JNICALL getStringUtfChars(JNIEnv*, jstring string, jboolean* isCopy)
{
    const std::u16string& text = stringOf(string, "GetStringUTFChars").text;
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    return handOut(modifiedUtf8FromUtf16(text));
}

void JNICALL releaseStringUtfChars(JNIEnv*, jstring string, const char* chars)
{
    stringOf(string, "ReleaseStringUTFChars");
    takeBack(chars, "ReleaseStringUTFChars");
}

void JNICALL getStringRegion(JNIEnv* environment, jstring string, jsize start, jsize length,
                             jchar* buffer)
{
    const std::u16string& text = stringOf(string, "GetStringRegion").text;
    if (inBounds(threadOf(environment), start, length, text.size()) && length > 0) {
        std::memcpy(buffer, text.data() + start, length * sizeof(jchar));
    }
}

jsize JNICALL getArrayLength(JNIEnv*, jarray array)
{
    JavaObject* found = objectFromHandle(array, "GetArrayLength");
    if (auto* chars = dynamic_cast<CharArrayObject*>(found)) {
        return static_cast<jsize>(chars->units.size());
    }
    if (auto* objects = dynamic_cast<ObjectArrayObject*>(found)) {
        return static_cast<jsize>(objects->elements.size());
    }
    failLoudly("GetArrayLength of something that is no array");
}

jobjectArray JNICALL newObjectArray(JNIEnv* environment, jsize length, jclass elementClass,
                                    jobject initialElement)
{
    ClassInfo* element = classFromHandle(elementClass, "NewObjectArray");
    if (element == nullptr) {
        failLoudly("NewObjectArray with a null element class");
    }
    JavaObject* initial = objectFromHandle(initialElement, "NewObjectArray");
    if (length < 0) {
        throwNew(threadOf(environment), "java/lang/NegativeArraySizeException",
                 u"array size below zero");
        return nullptr;
    }
    auto* array = newObject<ObjectArrayObject>(objectArrayClass(*element));
    array->elementClass = element;
    array->elements.assign(static_cast<size_t>(length), initial);
    return static_cast<jobjectArray>(handleOf(array));
}

ObjectArrayObject& objectArrayOf(jobjectArray array, std::string_view where)
{
    auto* found = objectOfKind<ObjectArrayObject>(array, where);
    if (found == nullptr) {
        failLoudly(std::string(where) + " of a null array");
    }
    return *found;
}

jobject JNICALL getObjectArrayElement(JNIEnv* environment, jobjectArray array, jsize index)
{
    ObjectArrayObject& objects = objectArrayOf(array, "GetObjectArrayElement");
    if (!inBounds(threadOf(environment), index, 1, objects.elements.size())) {
        return nullptr;
    }
    return handleOf(objects.elements[static_cast<size_t>(index)]);
}

void JNICALL setObjectArrayElement(JNIEnv* environment, jobjectArray array, jsize index,
                                   jobject value)
{
    ObjectArrayObject& objects = objectArrayOf(array, "SetObjectArrayElement");
    JavaObject* element = objectFromHandle(value, "SetObjectArrayElement");
    ThreadState& thread = threadOf(environment);
    if (!inBounds(thread, index, 1, objects.elements.size())) {
        return;
    }
    if (element != nullptr && !element->objectClass->isSubclassOf(*objects.elementClass)) {
        throwNew(thread, "java/lang/ArrayStoreException",
                 utf16FromUtf8(element->objectClass->javaName()));
        return;
    }
    objects.elements[static_cast<size_t>(index)] = element;
}

jcharArray JNICALL newCharArray(JNIEnv* environment, jsize length)
{
    if (length < 0) {
        throwNew(threadOf(environment), "java/lang/NegativeArraySizeException",
                 u"array size below zero");
        return nullptr;
    }
    auto* array = newObject<CharArrayObject>(*loadedClass("[C"));
    array->units.assign(static_cast<size_t>(length), u'\0');
    return static_cast<jcharArray>(handleOf(array));
}

CharArrayObject& charArrayOf(jcharArray array, std::string_view where)
{
    auto* found = objectOfKind<CharArrayObject>(array, where);
    if (found == nullptr) {
        failLoudly(std::string(where) + " of a null array");
    }
    return *found;
}

void JNICALL getCharArrayRegion(JNIEnv* environment, jcharArray array, jsize start, jsize length,
                                jchar* buffer)
{
    CharArrayObject& chars = charArrayOf(array, "GetCharArrayRegion");
    if (inBounds(threadOf(environment), start, length, chars.units.size()) && length > 0) {
        std::memcpy(buffer, chars.units.data() + start, length * sizeof(jchar));
    }
}

void JNICALL setCharArrayRegion(JNIEnv* environment, jcharArray array, jsize start, jsize length,
                                const jchar* buffer)
{
    CharArrayObject& chars = charArrayOf(array, "SetCharArrayRegion");
    if (inBounds(threadOf(environment), start, length, chars.units.size()) && length > 0) {
        std::memcpy(chars.units.data() + start, buffer, length * sizeof(jchar));
    }
}

}  // namespace

void installStringAndArrayFunctions(JNINativeInterface_& table)
{
    table.NewString = newStringFromUnits;
    table.GetStringLength = getStringLength;
    table.GetStringChars = getStringChars;
    table.ReleaseStringChars = releaseStringChars;
    table.NewStringUTF = newStringUtf;
    table.GetStringUTFLength = getStringUtfLength;
    table.GetStringUTFChars = getStringUtfChars;
    table.ReleaseStringUTFChars = releaseStringUtfChars;
    table.GetStringRegion = getStringRegion;
    table.GetArrayLength = getArrayLength;
    table.NewObjectArray = newObjectArray;
    table.GetObjectArrayElement = getObjectArrayElement;
    table.SetObjectArrayElement = setObjectArrayElement;
    table.NewCharArray = newCharArray;
    table.GetCharArrayRegion = getCharArrayRegion;
    table.SetCharArrayRegion = setCharArrayRegion;
}

}  // namespace test_jvm
