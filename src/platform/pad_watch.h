#pragma once
#include <cstdint>
#include <string>
#include <vector>

// SDL reads the pads only when asked (the game turns its own reading off, so
// that an event wait never polls). The watcher is a thread that sleeps until
// a pad has something to say: the device files of the open pads turn
// readable, or a device comes or goes in /dev/input. Then it pushes one event
// of type wakeType, which ends the main thread's wait; the main thread reads
// the pads when it takes that event.
void StartPadWatch(uint32_t wakeType);
void StopPadWatch();

// The device files of the open pads. A pad with no file (an empty path) or
// one that cannot be opened is looked at every few milliseconds instead.
void WatchPadFiles(const std::vector<std::string>& paths);

// Call on taking the wake event, before reading the pads: input that comes
// after this pushes a new one.
void PadWakeTaken();
