#pragma once
#include <string>

// The game's stream on "log.txt". Every line is flushed at once, so the file
// is complete up to the last event even if the program stops abruptly. A log
// that cannot be opened swallows its writes; why it could not be opened is
// said once on standard error.
//
// The log never follows a link planted in its place and never waits: a FIFO
// without a reader, or one whose reader is slow or gone, costs lines, never
// the game.
class Log {
public:
    // Truncate empties the file first; either way every line is added at its end.
    enum class Mode { Append, Truncate };

    Log() = default;
    ~Log() { Close(); }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void Open(const char* fileName, Mode mode);
    // Writes text, then name (if given), then CR LF: the file keeps the
    // Windows line ends wherever it is written.
    void WriteLine(const std::string& text, const std::string& name = std::string());
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
