#include "support/test_jvm/object_model.h"

#include <map>
#include <mutex>
#include <unordered_set>

#include "support/test_jvm/java_text.h"

namespace test_jvm {

namespace {

// The heap and the class table are shared by every thread attached to the VM.
struct Heap {
    std::mutex mutex;
    std::unordered_set<const void*> objects;
    std::unordered_set<const void*> methods;
    std::map<std::string, std::unique_ptr<ClassInfo>, std::less<>> classes;
};

// Never destroyed: threads of the Java program may still run while the
// process ends.
Heap& heap()
{
    static Heap* instance = new Heap();
    return *instance;
}

bool isRegistered(const std::unordered_set<const void*>& set, const void* address)
{
    std::lock_guard lock(heap().mutex);
    return set.count(address) != 0;
}

}  // namespace

std::string MethodInfo::parameterKinds() const
{
    std::string kinds;
    size_t i = 1;  // after "("
    while (i < signature.size() && signature[i] != ')') {
        char kind = signature[i];
        while (signature[i] == '[') {
            kind = 'L';
            ++i;
        }
        if (signature[i] == 'L') {
            kind = 'L';
            i = signature.find(';', i);
        }
        kinds += kind;
        ++i;
    }
    return kinds;
}

char MethodInfo::returnKind() const
{
    size_t close = signature.find(')');
    char kind = signature.at(close + 1);
    return kind == '[' ? 'L' : kind;
}

MethodInfo& ClassInfo::addMethod(std::string methodName, std::string methodSignature,
                                 bool isStaticMethod, MethodBody body)
{
    auto method = std::make_unique<MethodInfo>();
    method->owner = this;
    method->name = std::move(methodName);
    method->signature = std::move(methodSignature);
    method->isStatic = isStaticMethod;
    method->body = std::move(body);
    {
        std::lock_guard lock(heap().mutex);
        heap().methods.insert(method.get());
    }
    methods.push_back(std::move(method));
    return *methods.back();
}

const MethodInfo* ClassInfo::findMethod(std::string_view methodName,
                                        std::string_view methodSignature, bool isStaticMethod) const
{
    for (const ClassInfo* candidate = this; candidate != nullptr;
         candidate = candidate->superclass) {
        for (const auto& method : candidate->methods) {
            if (method->name == methodName && method->signature == methodSignature &&
                method->isStatic == isStaticMethod) {
                return method.get();
            }
        }
        if (methodName == "<init>") {
            break;  // constructors are not inherited
        }
    }
    return nullptr;
}

bool ClassInfo::isSubclassOf(const ClassInfo& other) const
{
    for (const ClassInfo* candidate = this; candidate != nullptr;
         candidate = candidate->superclass) {
        if (candidate == &other) {
            return true;
        }
    }
    return false;
}

std::string ClassInfo::javaName() const
{
    return dottedClassName(name);
}

std::u16string ThrowableObject::describe() const
{
    std::string className = objectClass->javaName();
    std::u16string text(className.begin(), className.end());
    if (message) {
        text += u": " + *message;
    }
    return text;
}

std::u16string ThrowableObject::stackTraceText() const
{
    std::u16string text = describe() + u"\r\n";
    for (const std::u16string& frame : frames) {
        text += u"\tat " + frame + u"\r\n";
    }
    return text;
}

void registerObject(JavaObject* object)
{
    std::lock_guard lock(heap().mutex);
    heap().objects.insert(object);
}

JavaObject* objectFromHandle(jobject handle, std::string_view where)
{
    if (handle == nullptr) {
        return nullptr;
    }
    auto* object = reinterpret_cast<JavaObject*>(handle);
    if (!isRegistered(heap().objects, object)) {
        failLoudly(std::string(where) + ": unknown object handle");
    }
    return object;
}

ClassInfo* classFromHandle(jclass handle, std::string_view where)
{
    auto* classObject = objectOfKind<ClassObject>(handle, where);
    return classObject != nullptr ? classObject->described : nullptr;
}

const MethodInfo* methodFromId(jmethodID id, std::string_view where)
{
    if (id == nullptr) {
        failLoudly(std::string(where) + ": null method id");
    }
    auto* method = reinterpret_cast<const MethodInfo*>(id);
    if (!isRegistered(heap().methods, method)) {
        failLoudly(std::string(where) + ": unknown method id");
    }
    return method;
}

jobject handleOf(JavaObject* object)
{
    return reinterpret_cast<jobject>(object);
}

jclass handleOf(ClassInfo& classInfo)
{
    return reinterpret_cast<jclass>(classInfo.classObject);
}

jmethodID idOf(const MethodInfo& method)
{
    return reinterpret_cast<jmethodID>(const_cast<MethodInfo*>(&method));
}

ClassInfo& defineClass(std::string name, ClassInfo* superclass, bool bootClass)
{
    auto classInfo = std::make_unique<ClassInfo>();
    classInfo->name = name;
    classInfo->superclass = superclass;
    classInfo->bootClass = bootClass;
    auto* classObject = new ClassObject();
    classObject->described = classInfo.get();
    classInfo->classObject = classObject;
    registerObject(classObject);

    std::lock_guard lock(heap().mutex);
    ClassInfo& defined = *classInfo;
    heap().classes[name] = std::move(classInfo);
    // Every class object is a java/lang/Class; classes defined before it
    // learn that now.
    if (auto found = heap().classes.find("java/lang/Class"); found != heap().classes.end()) {
        for (auto& [className, entry] : heap().classes) {
            entry->classObject->objectClass = found->second.get();
        }
    }
    return defined;
}

ClassInfo* loadedClass(std::string_view name)
{
    std::lock_guard lock(heap().mutex);
    auto found = heap().classes.find(name);
    return found != heap().classes.end() ? found->second.get() : nullptr;
}

StringObject* newString(std::u16string text)
{
    ClassInfo* stringClass = loadedClass("java/lang/String");
    if (stringClass == nullptr) {
        failLoudly("java/lang/String is not defined");
    }
    auto* string = newObject<StringObject>(*stringClass);
    string->text = std::move(text);
    return string;
}

}  // namespace test_jvm
