#pragma once
#include <cstdio>
#include <cstdlib>

#include "scratch_folder.h"

// The fuzzing process's own folder: the readers under test write beside the
// file they read, and that must never be the working folder. scripts/fuzz.sh
// points TMPDIR at a folder it removes, so even a crash leaves nothing behind.
inline const ScratchFolder& fuzzFolder()
{
    static const ScratchFolder folder;
    return folder;
}

// Stops the run with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what)
{
    if (!ok) fail(what);
}
