// The tarvo-brand command: its options, read from the command line, and one
// run that reads the inputs, brands a copy of the launcher and writes it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct BrandOptions {
    std::string launcher;
    std::string output;
    std::optional<std::string> icon;
    std::optional<std::string> productName;
    std::optional<std::string> company;
    std::optional<std::string> fileVersion;
    std::optional<std::string> productVersion;
    std::optional<std::string> description;
    std::optional<std::string> copyright;
    std::optional<std::string> settings;
    std::optional<std::string> messages;
    std::optional<std::string> executionLevel;
    std::optional<std::string> language;
    bool help = false;
};

// The options of the arguments (UTF-8, the program name left out); refuses
// an unknown or repeated option, a missing value and a missing --launcher
// or --output.
BrandOptions parseBrandOptions(const std::vector<std::string>& arguments);

// The exit codes: 0 branded, 1 the output could not be written, 2 a bad
// argument or input (one line on errors, no output file).
int runBrand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);

extern const char kBrandUsage[];
