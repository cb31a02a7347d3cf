#pragma once
#include <cstdio>
#include <string>

// One writer's stream on "log.txt". Every line is flushed at once, so the file
// is complete up to the last event even if the program stops abruptly. A log
// that cannot be opened swallows its writes silently.
class Log {
public:
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
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
};
