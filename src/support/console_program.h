// Whether this executable is the console build: the same code runs as
// tarvo.exe (a Windows program) and as tarvoc.exe (a console program), and
// tells which it is by its own image's subsystem.
#pragma once

// True when the running executable's PE header names the console subsystem.
// Read once; every later call gives the same answer.
bool runsAsConsoleProgram() noexcept;
