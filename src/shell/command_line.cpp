#include "shell/command_line.h"

#include <cstring>

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc && line.unknown.empty(); ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            line.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            line.version = true;
        } else if (std::strcmp(arg, "--window") == 0) {
            line.windowed = true;
        } else if (std::strcmp(arg, "--race") == 0) {
            line.race = true;
        } else if (std::strcmp(arg, "--replay") == 0 && i + 1 < argc) {
            line.replay = argv[++i];
        } else {
            line.unknown = arg;
        }
    }
    return line;
}

std::string UsageText()
{
    return "Usage: klotzar [OPTION]...\n"
           "A falling-block puzzle game.\n"
           "\n"
           "  --window    play in an 800 x 600 window instead of full screen\n"
           "  --race      play the race this time (the settings file is left as it is)\n"
           "  --replay FILE  watch the game recorded in FILE: Right doubles the pace,\n"
           "              Left halves it, Pause pauses, Esc ends\n"
           "  --help      show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "F11 switches between full screen and a window while the game runs.\n";
}
