#pragma once
#include <ostream>

#include "sound/preset.h"

// "0/38": how a failed check shows a preset.
inline void PrintTo(const Preset& preset, std::ostream* out)
{
    *out << preset.bank << '/' << preset.program;
}
