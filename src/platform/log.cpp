#include "platform/log.h"

#include "platform/game_files.h"

void Log::Open(const char* fileName, Mode mode)
{
    Close();
    file_ = std::fopen(HostPath(fileName).c_str(), mode == Mode::Append ? "ab" : "wb");
}

void Log::WriteLine(const std::string& text, const std::string& name)
{
    if (!file_) return;
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fwrite(name.data(), 1, name.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
    std::fflush(file_);
}

void Log::Close()
{
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
}
