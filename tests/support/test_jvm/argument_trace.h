// How the test Java runtime writes a String[] it received into its trace, and
// how tests read it back. The exact UTF-16 code units must survive, lone
// surrogates included, so each element is written as hex code units:
//   <prefix> arguments <count>
//   <prefix> argument <index> <units>
// <units> is each code unit as 4 upper-case hex digits, separated by single
// spaces; an empty element is written as "<prefix> argument <index> " (the
// space after the index is always there). A null array is written as
// "<prefix> arguments null" and a null element as "<prefix> argument <index> null".
// <prefix> is "main", "secondaryMain void" or "secondaryMain int".
// Pure functions, no Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_jvm {

// The element is null when the optional is empty.
using TracedArgument = std::optional<std::u16string>;

// The lines for one array, joined by line feeds without a final one, so that
// they go into the trace in one write and stay together when several threads
// trace at once. An absent array is written as null.
std::string formatArgumentTrace(std::string_view prefix,
                                const std::optional<std::vector<TracedArgument>>& arguments);

// Every array traced with this prefix, in trace order. A null array, an
// array with a null element, or a block whose lines are incomplete or
// malformed, is left out.
std::vector<std::vector<std::u16string>> readArgumentTraces(const std::vector<std::string>& lines,
                                                            std::string_view prefix);

}  // namespace test_jvm
