// Arbitrary bytes as a replay file. The reader either refuses them with a
// message naming a line, or what it read writes back to a text that reads
// again to the same recording.
#include <string>

#include "fuzz_folder.h"
#include "replay/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Recording recording;
    std::string error;
    if (!readRecording(text, recording, error)) {
        check(error.compare(0, 5, "line ") == 0, "a refusal that names no line");
        return 0;
    }
    check(error.empty(), "a message for a file that was read");
    const std::string written = writeRecording(recording);
    Recording again;
    check(readRecording(written, again, error), "the writer's own text is refused");
    check(writeRecording(again) == written, "a recording changes in a write and read");
    check(outcomeDifferences(again.outcome, recording.outcome).empty(), "the end changes in a write and read");
    return 0;
}
