// The part of the Java class library a launcher uses, built into the test
// runtime: strings, System.exit/setOut/setErr, file and byte-array output
// streams, print streams, the throwables the launcher meets, and
// sun/launcher/LauncherHelper.
#include <mutex>

#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/java_text.h"
#include "support/test_jvm/output_streams.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"

namespace test_jvm {

namespace {

bool variableIsOne(const wchar_t* name)
{
    std::wstring value;
    return readEnvironmentVariable(name, value) && value == L"1";
}

std::u16string u16FromWide(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring wideFromU16(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The target behind an OutputStream argument: a file or byte-array stream,
// or another print stream.
std::shared_ptr<OutputTarget> targetOf(jobject stream, std::string_view where)
{
    JavaObject* object = objectFromHandle(stream, where);
    if (auto* outputStream = dynamic_cast<OutputStreamObject*>(object)) {
        return outputStream->target;
    }
    if (auto* printStream = dynamic_cast<PrintStreamObject*>(object)) {
        return printStream->target;
    }
    failLoudly(std::string(where) + ": the argument is no OutputStream");
}

void defineStringClasses(ClassInfo& object)
{
    ClassInfo& string = defineClass("java/lang/String", &object, true);
    string.addMethod("<init>", "([C)V", false,
                     [&string](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                         auto* chars =
                             objectOfKind<CharArrayObject>(arguments[0].l, "String(char[])");
                         if (chars == nullptr) {
                             throwNew(thread, "java/lang/NullPointerException", std::nullopt);
                             return objectValue(nullptr);
                         }
                         // The code units are taken as they are, lone surrogates too.
                         return objectValue(newString(chars->units));
                     });
    string.addMethod("<init>", "()V", false, [](ThreadState&, JavaObject*, const jvalue*) {
        return objectValue(newString(u""));
    });
    string.addMethod(
        "toString", "()Ljava/lang/String;", false,
        [](ThreadState&, JavaObject* self, const jvalue*) { return objectValue(self); });
    string.addMethod("length", "()I", false, [](ThreadState&, JavaObject* self, const jvalue*) {
        return intValue(static_cast<jint>(static_cast<StringObject*>(self)->text.size()));
    });
}

void defineThrowable(ClassInfo& throwableClass)
{
    throwableClass.addMethod("<init>", "()V", false,
                             [&throwableClass](ThreadState&, JavaObject*, const jvalue*) {
                                 return objectValue(newObject<ThrowableObject>(throwableClass));
                             });
    throwableClass.addMethod(
        "<init>", "(Ljava/lang/String;)V", false,
        [&throwableClass](ThreadState&, JavaObject*, const jvalue* arguments) {
            auto* throwable = newObject<ThrowableObject>(throwableClass);
            if (auto* message = objectOfKind<StringObject>(arguments[0].l, "Throwable(String)")) {
                throwable->message = message->text;
            }
            return objectValue(throwable);
        });
}

void defineThrowableMethods(ClassInfo& throwable)
{
    throwable.addMethod("printStackTrace", "(Ljava/io/PrintStream;)V", false,
                        [](ThreadState& thread, JavaObject* self, const jvalue* arguments) {
                            auto* stream = objectOfKind<PrintStreamObject>(
                                arguments[0].l, "Throwable.printStackTrace");
                            if (stream == nullptr) {
                                throwNew(thread, "java/lang/NullPointerException", std::nullopt);
                                return noValue();
                            }
                            printTo(stream, static_cast<ThrowableObject*>(self)->stackTraceText());
                            return noValue();
                        });
    throwable.addMethod(
        "printStackTrace", "()V", false, [](ThreadState&, JavaObject* self, const jvalue*) {
            printTo(systemErr(), static_cast<ThrowableObject*>(self)->stackTraceText());
            return noValue();
        });
    throwable.addMethod(
        "toString", "()Ljava/lang/String;", false,
        [](ThreadState&, JavaObject* self, const jvalue*) {
            return objectValue(newString(static_cast<ThrowableObject*>(self)->describe()));
        });
    for (const char* name : {"getMessage", "getLocalizedMessage"}) {
        throwable.addMethod(name, "()Ljava/lang/String;", false,
                            [](ThreadState&, JavaObject* self, const jvalue*) {
                                const auto& message = static_cast<ThrowableObject*>(self)->message;
                                return objectValue(message ? newString(*message) : nullptr);
                            });
    }
}

void defineThrowableClasses(ClassInfo& object)
{
    ClassInfo& throwable = defineClass("java/lang/Throwable", &object, true);
    defineThrowableMethods(throwable);
    ClassInfo& exception = defineClass("java/lang/Exception", &throwable, true);
    ClassInfo& runtimeException = defineClass("java/lang/RuntimeException", &exception, true);
    ClassInfo& error = defineClass("java/lang/Error", &throwable, true);
    ClassInfo& linkageError = defineClass("java/lang/LinkageError", &error, true);
    ClassInfo& incompatibleChange =
        defineClass("java/lang/IncompatibleClassChangeError", &linkageError, true);
    ClassInfo& ioException = defineClass("java/io/IOException", &exception, true);
    ClassInfo& indexOutOfBounds =
        defineClass("java/lang/IndexOutOfBoundsException", &runtimeException, true);
    for (ClassInfo* throwableClass : {
             &throwable,
             &exception,
             &runtimeException,
             &error,
             &linkageError,
             &ioException,
             &defineClass("java/lang/IllegalStateException", &runtimeException, true),
             &defineClass("java/lang/NullPointerException", &runtimeException, true),
             &defineClass("java/lang/ArrayStoreException", &runtimeException, true),
             &defineClass("java/lang/NegativeArraySizeException", &runtimeException, true),
             &defineClass("java/lang/ArrayIndexOutOfBoundsException", &indexOutOfBounds, true),
             &defineClass("java/lang/StringIndexOutOfBoundsException", &indexOutOfBounds, true),
             &defineClass("java/lang/NoClassDefFoundError", &linkageError, true),
             &defineClass("java/lang/NoSuchMethodError", &incompatibleChange, true),
             &defineClass("java/io/FileNotFoundException", &ioException, true),
         }) {
        defineThrowable(*throwableClass);
    }
}

jvalue openFileOutputStream(ClassInfo& streamClass, ThreadState& thread, jobject name, bool append)
{
    auto* path = objectOfKind<StringObject>(name, "FileOutputStream(String, boolean)");
    if (path == nullptr) {
        throwNew(thread, "java/lang/NullPointerException", std::nullopt);
        return objectValue(nullptr);
    }
    std::wstring reason;
    std::shared_ptr<OutputTarget> target = openFileTarget(wideFromU16(path->text), append, reason);
    traceLine("FileOutputStream " + utf8FromUtf16(path->text) + " append=" + (append ? "1" : "0") +
              (target ? " opened" : " failed"));
    if (!target) {
        throwNew(thread, "java/io/FileNotFoundException",
                 path->text + u" (" + u16FromWide(reason) + u")");
        return objectValue(nullptr);
    }
    auto* stream = newObject<OutputStreamObject>(streamClass);
    stream->target = std::move(target);
    return objectValue(stream);
}

void defineStreamClasses(ClassInfo& object)
{
    ClassInfo& outputStream = defineClass("java/io/OutputStream", &object, true);
    ClassInfo& file = defineClass("java/io/FileOutputStream", &outputStream, true);
    file.addMethod("<init>", "(Ljava/lang/String;Z)V", false,
                   [&file](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                       return openFileOutputStream(file, thread, arguments[0].l,
                                                   arguments[1].z != JNI_FALSE);
                   });
    file.addMethod("<init>", "(Ljava/lang/String;)V", false,
                   [&file](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                       return openFileOutputStream(file, thread, arguments[0].l, false);
                   });

    ClassInfo& bytes = defineClass("java/io/ByteArrayOutputStream", &outputStream, true);
    bytes.addMethod("<init>", "()V", false, [&bytes](ThreadState&, JavaObject*, const jvalue*) {
        auto* stream = newObject<OutputStreamObject>(bytes);
        stream->target = std::make_shared<ByteBufferTarget>();
        return objectValue(stream);
    });
    bytes.addMethod("toString", "()Ljava/lang/String;", false,
                    [](ThreadState&, JavaObject* self, const jvalue*) {
                        auto& buffer = static_cast<ByteBufferTarget&>(
                            *static_cast<OutputStreamObject*>(self)->target);
                        return objectValue(newString(utf16FromUtf8(buffer.bytes())));
                    });

    ClassInfo& filter = defineClass("java/io/FilterOutputStream", &outputStream, true);
    ClassInfo& print = defineClass("java/io/PrintStream", &filter, true);
    print.addMethod("<init>", "(Ljava/io/OutputStream;)V", false,
                    [&print](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                        if (arguments[0].l == nullptr) {
                            throwNew(thread, "java/lang/NullPointerException", std::nullopt);
                            return objectValue(nullptr);
                        }
                        auto* stream = newObject<PrintStreamObject>(print);
                        stream->target = targetOf(arguments[0].l, "PrintStream(OutputStream)");
                        return objectValue(stream);
                    });
    for (bool lineEnd : {false, true}) {
        print.addMethod(lineEnd ? "println" : "print", "(Ljava/lang/String;)V", false,
                        [lineEnd](ThreadState&, JavaObject* self, const jvalue* arguments) {
                            auto* text =
                                objectOfKind<StringObject>(arguments[0].l, "PrintStream.print");
                            std::u16string value = text != nullptr ? text->text : u"null";
                            auto* stream = static_cast<PrintStreamObject*>(self);
                            lineEnd ? printLineTo(stream, value) : printTo(stream, value);
                            return noValue();
                        });
    }
    // Every write goes out at once; there is nothing to flush.
    print.addMethod("flush", "()V", false,
                    [](ThreadState&, JavaObject*, const jvalue*) { return noValue(); });
}

void setStandardStream(const char* traceName, void (*set)(PrintStreamObject*), jobject stream)
{
    auto* printStream = objectOfKind<PrintStreamObject>(stream, traceName);
    traceLine(std::string(traceName) + " " +
              (printStream != nullptr ? printStream->target->describe() : "null"));
    set(printStream);
}

void defineSystemClass(ClassInfo& object)
{
    ClassInfo& system = defineClass("java/lang/System", &object, true);
    system.addMethod("exit", "(I)V", true,
                     [](ThreadState&, JavaObject*, const jvalue* arguments) -> jvalue {
                         systemExit(arguments[0].i);
                     });
    system.addMethod("setOut", "(Ljava/io/PrintStream;)V", true,
                     [](ThreadState&, JavaObject*, const jvalue* arguments) {
                         setStandardStream("System.setOut", setSystemOut, arguments[0].l);
                         return noValue();
                     });
    system.addMethod("setErr", "(Ljava/io/PrintStream;)V", true,
                     [](ThreadState&, JavaObject*, const jvalue* arguments) {
                         setStandardStream("System.setErr", setSystemErr, arguments[0].l);
                         return noValue();
                     });
}

// Loads the class as Class.forName does, by its dotted name: a name in the
// internal slash form is not found.
jvalue checkAndLoadMain(ThreadState& thread, const jvalue* arguments)
{
    auto* name = objectOfKind<StringObject>(arguments[2].l, "LauncherHelper.checkAndLoadMain");
    std::string utf8Name = name != nullptr ? utf8FromUtf16(name->text) : std::string("null");
    traceLine("LauncherHelper.checkAndLoadMain printToStderr=" +
              std::string(arguments[0].z != JNI_FALSE ? "1" : "0") +
              " mode=" + std::to_string(arguments[1].i) + " name=" + utf8Name);
    if (variableIsOne(kLauncherHelperFailsVariable)) {
        throwNew(thread, "java/lang/Error", u"LauncherHelper failed as the test asked");
        return objectValue(nullptr);
    }
    if (name == nullptr) {
        throwNew(thread, "java/lang/NullPointerException", std::nullopt);
        return objectValue(nullptr);
    }
    ClassInfo* found = nullptr;
    if (utf8Name.find('/') == std::string::npos) {
        std::string internalName = utf8Name;
        for (char& c : internalName) {
            c = c == '.' ? '/' : c;
        }
        found = findVisibleClass(internalName);
    }
    if (found == nullptr) {
        throwNew(thread, "java/lang/NoClassDefFoundError", name->text);
        return objectValue(nullptr);
    }
    return objectValue(found->classObject);
}

}  // namespace

jvalue noValue()
{
    jvalue value{};
    return value;
}

jvalue objectValue(JavaObject* object)
{
    jvalue value{};
    value.l = handleOf(object);
    return value;
}

jvalue intValue(jint number)
{
    jvalue value{};
    value.i = number;
    return value;
}

void defineBuiltinClasses()
{
    // java/lang/Class right after Object: every class object is one.
    ClassInfo& object = defineClass("java/lang/Object", nullptr, true);
    defineClass("java/lang/Class", &object, true);
    defineClass("[C", &object, true);
    defineStringClasses(object);
    defineThrowableClasses(object);
    defineStreamClasses(object);
    defineSystemClass(object);
    ClassInfo& launcherHelper = defineClass("sun/launcher/LauncherHelper", &object, true);
    launcherHelper.addMethod("checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;", true,
                             [](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                                 return checkAndLoadMain(thread, arguments);
                             });
    defineTestApplicationClasses();
}

ClassInfo* findVisibleClass(std::string_view internalName)
{
    if (internalName == "sun/launcher/LauncherHelper" && variableIsOne(kNoLauncherHelperVariable)) {
        return nullptr;
    }
    return loadedClass(internalName);
}

ClassInfo& objectArrayClass(const ClassInfo& elementClass)
{
    static std::mutex defining;
    std::lock_guard lock(defining);
    std::string name =
        elementClass.name.front() == '[' ? "[" + elementClass.name : "[L" + elementClass.name + ";";
    if (ClassInfo* known = loadedClass(name)) {
        return *known;
    }
    return defineClass(name, loadedClass("java/lang/Object"), elementClass.bootClass);
}

}  // namespace test_jvm
