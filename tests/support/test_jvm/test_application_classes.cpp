// The test applications of test_jvm_classes.h: each main traces the String[]
// it received exactly, then does what its test needs (print, exit, throw,
// keep the VM alive, answer secondaryMain).
#include <charconv>

#include "support/test_jvm/argument_trace.h"
#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/java_text.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"

namespace test_jvm {

namespace {

constexpr char kMainSignature[] = "([Ljava/lang/String;)V";

std::optional<std::vector<TracedArgument>> argumentsOf(jobject array, std::string_view where)
{
    auto* arguments = objectOfKind<ObjectArrayObject>(array, where);
    if (arguments == nullptr) {
        return std::nullopt;
    }
    std::vector<TracedArgument> texts;
    for (JavaObject* element : arguments->elements) {
        auto* string = dynamic_cast<StringObject*>(element);
        texts.push_back(string != nullptr ? TracedArgument(string->text) : std::nullopt);
    }
    return texts;
}

std::optional<std::vector<TracedArgument>> traceArguments(std::string_view prefix, jobject array)
{
    std::optional<std::vector<TracedArgument>> arguments = argumentsOf(array, prefix);
    traceLine(formatArgumentTrace(prefix, arguments));
    return arguments;
}

std::u16string u16FromUtf8(const char* text)
{
    return utf16FromUtf8(text);
}

void printArguments(const std::optional<std::vector<TracedArgument>>& arguments)
{
    size_t count = arguments ? arguments->size() : 0;
    std::string heading = "main: " + std::to_string(count) + " arguments";
    printLineTo(systemOut(), std::u16string(heading.begin(), heading.end()));
    if (arguments) {
        for (const TracedArgument& argument : *arguments) {
            printLineTo(systemOut(), argument.value_or(u"null"));
        }
    }
    printLineTo(systemErr(), u"main: error stream");
}

// The int form of secondaryMain answers with its first argument when that is
// a decimal number, so that a test chooses the answer.
jint secondaryAnswer(const std::optional<std::vector<TracedArgument>>& arguments)
{
    if (!arguments || arguments->empty() || !arguments->front()) {
        return kSecondaryNoNumberResult;
    }
    std::string text = utf8FromUtf16(*arguments->front());
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+') {
        ++begin;
    }
    jint value = 0;
    auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return kSecondaryNoNumberResult;
    }
    return value;
}

jvalue keepAliveMain(ThreadState&, JavaObject*, const jvalue* arguments)
{
    traceArguments("main", arguments[0].l);
    startNonDaemonThread(static_cast<DWORD>(
        environmentNumber(kAliveMillisecondsVariable, kDefaultAliveMilliseconds)));
    traceLine("non-daemon thread started");
    return noValue();
}

ClassInfo& defineApplicationClass(const char* name)
{
    return defineClass(name, loadedClass("java/lang/Object"), false);
}

void defineSecondaryClass(const char* name, bool voidForm, bool intForm)
{
    ClassInfo& application = defineApplicationClass(name);
    application.addMethod("main", kMainSignature, true, keepAliveMain);
    if (voidForm) {
        application.addMethod("secondaryMain", "([Ljava/lang/String;)V", true,
                              [](ThreadState&, JavaObject*, const jvalue* arguments) {
                                  traceArguments("secondaryMain void", arguments[0].l);
                                  return noValue();
                              });
    }
    if (intForm) {
        application.addMethod("secondaryMain", "([Ljava/lang/String;)I", true,
                              [](ThreadState&, JavaObject*, const jvalue* arguments) {
                                  return intValue(secondaryAnswer(
                                      traceArguments("secondaryMain int", arguments[0].l)));
                              });
    }
}

}  // namespace

void defineTestApplicationClasses()
{
    defineApplicationClass(kMainClass)
        .addMethod("main", kMainSignature, true,
                   [](ThreadState&, JavaObject*, const jvalue* arguments) {
                       printArguments(traceArguments("main", arguments[0].l));
                       return noValue();
                   });
    defineApplicationClass(kExitClass)
        .addMethod("main", kMainSignature, true,
                   [](ThreadState&, JavaObject*, const jvalue* arguments) -> jvalue {
                       traceArguments("main", arguments[0].l);
                       systemExit(static_cast<jint>(environmentNumber(kExitCodeVariable, 0)));
                   });
    defineApplicationClass(kThrowsClass)
        .addMethod("main", kMainSignature, true,
                   [](ThreadState& thread, JavaObject*, const jvalue* arguments) {
                       traceArguments("main", arguments[0].l);
                       // Frames with non-ASCII names, one outside the BMP, as a
                       // program with such identifiers shows them.
                       throwNew(thread, "java/lang/IllegalStateException",
                                u16FromUtf8(kThrowsMessage),
                                {u16FromUtf8(kThrowsFrame),
                                 u"tarvo.test.Throws.\U0001D400nfang(Throws.java:7)",
                                 u"tarvo.test.Throws.main(Throws.java:3)"});
                       return noValue();
                   });
    defineApplicationClass(kNoMainClass);
    defineApplicationClass(kNoMainQuietClass).quietMissingMethods = true;
    defineApplicationClass(kKeepsAliveClass).addMethod("main", kMainSignature, true, keepAliveMain);
    defineSecondaryClass(kSecondaryVoidClass, true, false);
    defineSecondaryClass(kSecondaryIntClass, false, true);
    defineSecondaryClass(kSecondaryBothClass, true, true);
}

}  // namespace test_jvm
