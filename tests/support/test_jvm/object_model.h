// The test Java runtime's objects. A jobject (and so a jclass, jstring, ...)
// is the address of a JavaObject; a jmethodID is the address of a MethodInfo.
// Objects are never freed: a test VM lives for one short process, and handles
// that stay valid for ever make every reference kind (local, global) the same.
// Every handle the launcher passes in is checked against the heap, so a stale
// or made-up handle ends the process loudly instead of crashing.
#pragma once

#include <jni.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_jvm/fatal.h"

namespace test_jvm {

struct ClassInfo;
struct JavaObject;
struct ThreadState;

// The Java code of a built-in method, in C++. `self` is null for static
// methods; the arguments are as many as the signature names.
using MethodBody =
    std::function<jvalue(ThreadState& thread, JavaObject* self, const jvalue* arguments)>;

struct MethodInfo {
    ClassInfo* owner = nullptr;
    std::string name;
    std::string signature;
    bool isStatic = false;
    MethodBody body;

    // One letter per parameter (Z B C S I J F D, L for any reference), from
    // the signature, so that varargs calls know what to read.
    std::string parameterKinds() const;
    // The first letter of the return type: V, I, Z, L (reference) ...
    char returnKind() const;
};

struct ClassInfo {
    std::string name;  // internal form, java/lang/String
    ClassInfo* superclass = nullptr;
    // Classes of the runtime itself, which JVM_FindClassFromBootLoader finds;
    // the application's classes come from the class path.
    bool bootClass = false;
    // A missing method is reported without an exception pending (for the
    // launcher's own "no main" message).
    bool quietMissingMethods = false;
    std::vector<std::unique_ptr<MethodInfo>> methods;
    JavaObject* classObject = nullptr;  // its java/lang/Class instance

    MethodInfo& addMethod(std::string methodName, std::string methodSignature, bool isStaticMethod,
                          MethodBody body);
    // Looks in this class and its superclasses, as JNI does; constructors only here.
    const MethodInfo* findMethod(std::string_view methodName, std::string_view methodSignature,
                                 bool isStaticMethod) const;
    bool isSubclassOf(const ClassInfo& other) const;
    // com.example.App, as Class.getName and Throwable.toString spell it.
    std::string javaName() const;
};

struct JavaObject {
    virtual ~JavaObject() = default;
    ClassInfo* objectClass = nullptr;
};

struct ClassObject : JavaObject {
    ClassInfo* described = nullptr;
};

struct StringObject : JavaObject {
    std::u16string text;
};

struct CharArrayObject : JavaObject {
    std::u16string units;
};

struct ObjectArrayObject : JavaObject {
    ClassInfo* elementClass = nullptr;
    std::vector<JavaObject*> elements;
};

class OutputTarget;

// java/io/FileOutputStream and java/io/ByteArrayOutputStream.
struct OutputStreamObject : JavaObject {
    std::shared_ptr<OutputTarget> target;
};

struct PrintStreamObject : JavaObject {
    std::shared_ptr<OutputTarget> target;
};

struct ThrowableObject : JavaObject {
    std::optional<std::u16string> message;
    std::vector<std::u16string> frames;  // "tarvo.test.Throws.main(Throws.java:5)"

    // "<class name>: <message>", or the class name alone without a message.
    std::u16string describe() const;
    // What printStackTrace writes: the description and one "\tat <frame>"
    // line per frame, each ended by "\r\n" as Java's line separator on Windows.
    std::u16string stackTraceText() const;
};

void registerObject(JavaObject* object);

// Creates an object of the class on the VM's heap and registers it, so that
// its handle is recognised later.
template <typename Object>
Object* newObject(ClassInfo& objectClass)
{
    auto* object = new Object();
    object->objectClass = &objectClass;
    registerObject(object);
    return object;
}
// The object behind a handle; null for a null handle. A handle that is not
// on the heap ends the process loudly.
JavaObject* objectFromHandle(jobject handle, std::string_view where);
// The same, and the object must be of the given kind (a string, an array...).
template <typename Object>
Object* objectOfKind(jobject handle, std::string_view where)
{
    JavaObject* object = objectFromHandle(handle, where);
    if (object == nullptr) {
        return nullptr;
    }
    auto* typed = dynamic_cast<Object*>(object);
    if (typed == nullptr) {
        failLoudly(std::string(where) + ": object of class " + object->objectClass->name +
                   " is of the wrong kind");
    }
    return typed;
}
ClassInfo* classFromHandle(jclass handle, std::string_view where);
const MethodInfo* methodFromId(jmethodID id, std::string_view where);

jobject handleOf(JavaObject* object);
jclass handleOf(ClassInfo& classInfo);
jmethodID idOf(const MethodInfo& method);

// The class table, filled once when the VM is created.
ClassInfo& defineClass(std::string name, ClassInfo* superclass, bool bootClass);
// A loaded class by internal name; null for an unknown one.
ClassInfo* loadedClass(std::string_view name);

StringObject* newString(std::u16string text);

}  // namespace test_jvm
