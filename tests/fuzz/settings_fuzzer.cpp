// Arbitrary bytes as the settings file. Reading must give an answer for every
// key; writing one of the game's keys must give back its value and leave
// every other line and every other setting as it was.
//
// Input: one byte choosing the key, four bytes of value, then the file.
#include <cstring>
#include <string>

#include "fuzz_folder.h"
#include "ini_lines.h"
#include "shell/ini_file.h"
#include "shell/settings_file.h"

namespace {

constexpr const char* kKeys[] = {"Vorbelegung", "Zielhilfe", "Vorschauzwei", "Musik", "modus"};
constexpr int kKeyCount = 5;
// A default no file holds by chance, so that "missing" shows.
constexpr int32_t kMissing = -1234567;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int keyIndex = 0;
    int32_t value = 0;
    if (size >= 5) {
        keyIndex = data[0] % kKeyCount;
        std::memcpy(&value, data + 1, 4);
        data += 5;
        size -= 5;
    }
    const std::string path = fuzzFolder() / "ini.ini";
    check(writeBytes(path, data, size), "cannot write the input file");
    const std::string before(reinterpret_cast<const char*>(data), size);

    int32_t values[kKeyCount];
    for (int i = 0; i < kKeyCount; ++i) values[i] = GetProfileInt(path, kSettingsSection, kKeys[i], kMissing);

    writeSetting(kKeys[keyIndex], value, path);
    const std::string after = readBytes(path);
    const std::string fault = iniWriteFault(before, after, kSettingsSection, kKeys[keyIndex], std::to_string(value));
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        fail("the write touched more than its own line");
    }

    values[keyIndex] = value;
    for (int i = 0; i < kKeyCount; ++i)
        check(GetProfileInt(path, kSettingsSection, kKeys[i], kMissing) == values[i],
              "a setting reads back other than it was written or left");
    return 0;
}
