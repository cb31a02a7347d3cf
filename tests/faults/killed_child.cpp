// The child of KilledWhileSaving: plays a game to its end in a fresh run
// folder, prints the folder, with a file-size limit of 30 bytes and SIGXFSZ
// at its default, so the kernel kills it in the middle of writing the new
// list at game over. The log cannot be made (a folder stands in its place),
// so the list is the first file written past the limit. Exit codes name what
// went wrong instead: 10 no folder, 11 no start, 12 no game over, 13 the save
// went through.
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "fault_play.h"

int main()
{
    setenv("KLOTZAR_KEEP_RUNS", "1", 1);  // the parent reads the folder and removes it
    DriverSetup setup = setupWith("[Optionen]\r\nVorbelegung=6\r\n");
    setup.files.push_back({"log.txt/in-the-way", ""});
    setup.start = false;
    Driver d(setup);
    if (d.folder().empty()) return 10;
    std::printf("%s\n", d.folder().c_str());
    std::fflush(stdout);
    if (!d.startUp()) return 11;
    signal(SIGXFSZ, SIG_DFL);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 30;
    setrlimit(RLIMIT_FSIZE, &limit);
    if (!playClassicToGameOver(d)) return 12;
    return 13;
}
