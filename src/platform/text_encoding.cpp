#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Owns one glibc conversion descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (IsOpen()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + inLeft) as it can, appending to out.
    // Returns 0 when all input is used up, otherwise the errno that stopped it
    // (EILSEQ or EINVAL); in and inLeft then point at the offending bytes.
    int Convert(char*& in, size_t& inLeft, std::string& out)
    {
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            size_t room = sizeof buffer;
            const size_t result = iconv(cd_, &in, &inLeft, &next, &room);
            out.append(buffer, static_cast<size_t>(next - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) return errno;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

void AppendUtf8OfLatin1Byte(unsigned char byte, std::string& out)
{
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

}  // namespace

size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

std::string Utf8FromCp1252(const std::string& text1252)
{
    std::string out;
    Converter converter("UTF-8", "CP1252");
    if (!converter.IsOpen()) return text1252;
    std::string input = text1252;
    char* in = input.data();
    size_t inLeft = input.size();
    while (converter.Convert(in, inLeft, out) != 0 && inLeft > 0) {
        // Only an unassigned byte stops a single-byte conversion.
        AppendUtf8OfLatin1Byte(static_cast<unsigned char>(*in), out);
        ++in;
        --inLeft;
    }
    return out;
}

bool Cp1252FromUtf8(const std::string& utf8, std::string& out)
{
    Converter converter("CP1252", "UTF-8");
    if (!converter.IsOpen()) return false;
    std::string input = utf8;
    char* in = input.data();
    size_t inLeft = input.size();
    std::string converted;
    if (converter.Convert(in, inLeft, converted) != 0) return false;
    out = std::move(converted);
    return true;
}
