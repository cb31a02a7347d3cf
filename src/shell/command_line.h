#pragma once
#include <string>

// What the program was asked to do on its command line.
struct CommandLine {
    bool help = false;      // --help: the usage on standard output
    bool version = false;   // --version
    bool windowed = false;  // --window: an 800 x 600 window instead of full screen
    bool race = false;      // --race: this run plays the race; the settings file keeps its modus
    std::string replay;     // --replay FILE: watch the recorded game in FILE
    std::string unknown;    // the first argument not understood, if any
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, as --help prints it and as a wrong argument follows it.
std::string UsageText();
