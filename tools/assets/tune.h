// The background tune, "Fennwold Neo Remix": a folk melody over a light
// electronic groove, General MIDI, about two minutes, played once.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> makeTune();
