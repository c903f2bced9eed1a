// The application classes the test Java runtime has built in, for the
// "Main Class" of a test product. Internal (slash) form; the launcher turns
// the dotted form of its settings into this one.
#pragma once

namespace test_jvm {

// main traces its String[], prints "main: <count> arguments" and one line
// per argument to System.out and "main: error stream" to System.err.
inline constexpr char kMainClass[] = "tarvo/test/Main";
// main calls System.exit with TARVO_TEST_JVM_EXIT_CODE (0 when unset).
inline constexpr char kExitClass[] = "tarvo/test/Exit";
// main throws java.lang.IllegalStateException with kThrowsMessage.
inline constexpr char kThrowsClass[] = "tarvo/test/Throws";
// No main: GetStaticMethodID leaves NoSuchMethodError pending.
inline constexpr char kNoMainClass[] = "tarvo/test/NoMain";
// No main, and no exception pending after the failed lookup.
inline constexpr char kNoMainQuietClass[] = "tarvo/test/NoMainQuiet";
// main starts a non-daemon thread that lives TARVO_TEST_JVM_ALIVE_MS and returns.
inline constexpr char kKeepsAliveClass[] = "tarvo/test/KeepsAlive";
// main as KeepsAlive, and secondaryMain in the void form, the int form, or both.
inline constexpr char kSecondaryVoidClass[] = "tarvo/test/SecondaryVoid";
inline constexpr char kSecondaryIntClass[] = "tarvo/test/SecondaryInt";
inline constexpr char kSecondaryBothClass[] = "tarvo/test/SecondaryBoth";

// The message of the exception tarvo/test/Throws throws, in UTF-8.
inline constexpr char kThrowsMessage[] =
    "Zustand ung\xC3\xBCltig: Gr\xC3\xB6\xC3\x9F"
    "e \xE2\x89\xA0 \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93";
// One of its stack frames, with a non-ASCII method name, in UTF-8.
inline constexpr char kThrowsFrame[] =
    "tarvo.test.Throws.pr\xC3\xBC"
    "fe(Throws.java:12)";
// What the int form of secondaryMain returns when its first argument is no
// decimal number.
inline constexpr int kSecondaryNoNumberResult = -5;
// How long the non-daemon thread of KeepsAlive lives when the test does not say.
inline constexpr unsigned long kDefaultAliveMilliseconds = 2000;

}  // namespace test_jvm
