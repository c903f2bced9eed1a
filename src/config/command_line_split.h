// The launcher's rule for splitting a command line into arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Only the blank (code 32) separates pieces and backslashes mean nothing. A
// double quote counts only at the start of a piece: the piece then runs to the
// next quote (or to the end when there is none), so two quotes in a row give an
// empty piece and a lone quote at the end gives a last, empty piece.
std::vector<std::wstring> splitCommandLine(std::wstring_view text);

// The arguments of a process command line: white space trimmed at both ends,
// split, and the first piece (the program name) dropped.
std::vector<std::wstring> argumentsFromCommandLine(std::wstring_view commandLine);
