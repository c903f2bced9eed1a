// The classes the test runtime knows, written in C++: the few classes of the
// Java class library a launcher calls (java/lang, java/io,
// sun/launcher/LauncherHelper) and the test applications of
// test_jvm_classes.h. Any other class name is unknown.
#pragma once

#include <string_view>

#include "support/test_jvm/object_model.h"

namespace test_jvm {

// Fills the class table; called once when the VM is created.
void defineBuiltinClasses();
void defineTestApplicationClasses();

// A class by its internal name as the VM offers it now: sun/launcher/LauncherHelper
// is hidden when the test asks for a runtime without it.
ClassInfo* findVisibleClass(std::string_view internalName);

// The class of an array with elements of the class given: [Ljava/lang/String;
ClassInfo& objectArrayClass(const ClassInfo& elementClass);

// Small helpers for the bodies of built-in methods.
jvalue noValue();
jvalue objectValue(JavaObject* object);
jvalue intValue(jint value);

}  // namespace test_jvm
