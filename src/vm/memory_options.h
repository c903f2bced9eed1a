// Memory options written as a share of the machine's memory, and the thread
// stack size an -Xss option asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The machine's memory as the caller measured it, in bytes.
struct MachineMemory {
    std::uint64_t totalPhysical = 0;
    std::uint64_t availableVirtual = 0;
};

// The numbers of an option's value: where they begin and the numbers
// themselves, separated by ":".
struct NumberList {
    size_t startIndex = 0;
    std::vector<std::uint64_t> numbers;
};

// True for -Xms, -Xmx and -Xss (exact letter case) ending in P, p, T or t.
bool isMemoryShareOption(std::wstring_view token);

// Reads the numbers from the first digit or ":" on. The last character is
// the unit letter and is never read as part of a number; other characters
// are skipped. A number too large for 64 bits stays at the largest value.
NumberList parseNumberList(std::wstring_view text);

// Rewrites a share option in place as an absolute size in kilobytes:
// -Xmx25:512:4096P is a quarter of the physical memory, at least 512 MB and
// at most 4096 MB. P shares the physical memory, T the available address space.
// A token without any digit before its unit letter is left unchanged.
void resolveMemoryShare(std::wstring& token, const MachineMemory& memory);

// True when the token sets the thread stack size (-Xss, exact letter case).
bool isStackSizeOption(std::wstring_view token);

// The stack size in bytes an -Xss token asks for, with a K, M or G suffix in
// either case; 0 when the value cannot be read or does not fit in 64 bits,
// which leaves the choice to the VM.
std::uint64_t stackSizeFromOption(std::wstring_view token);
