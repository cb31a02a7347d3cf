#include "shell/settings_file.h"

#include <cstdio>
#include <iterator>

#include "screens/screen_layout.h"
#include "shell/ini_file.h"

namespace {

// 0 becomes 1, anything else 0: a value of 2 from the file counts as on.
int32_t toggled(int32_t value)
{
    return value == 0 ? 1 : 0;
}

bool within(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

}  // namespace

void readSettings(Settings& settings, const std::string& path)
{
    auto read = [&](const char* key, int32_t& value) { value = GetProfileInt(path, kSettingsSection, key, value); };
    read("Musik", settings.Musik);
    read("Vorbelegung", settings.Vorbelegung);
    read("Zielhilfe", settings.Zielhilfe);
    read("Vorschauzwei", settings.Vorschauzwei);
    read("modus", settings.modus);
}

void writeSetting(const char* key, int32_t value, const std::string& path)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    WriteProfileString(path, kSettingsSection, key, text);
}

void changeOption(Settings& settings, int32_t box, const std::string& path)
{
    switch (box) {
    case 0:
        // Compared before adding, so a huge value from the file cannot overflow.
        settings.Vorbelegung = settings.Vorbelegung >= 9 ? 0 : settings.Vorbelegung + 1;
        writeSetting("Vorbelegung", settings.Vorbelegung, path);
        break;
    case 1:
        settings.Zielhilfe = toggled(settings.Zielhilfe);
        writeSetting("Zielhilfe", settings.Zielhilfe, path);
        break;
    case 2:
        settings.Vorschauzwei = toggled(settings.Vorschauzwei);
        writeSetting("Vorschauzwei", settings.Vorschauzwei, path);
        break;
    case 3:
        // Only the two board variants switch; 0 and the race mode 3 stay.
        if (settings.modus == 1 || settings.modus == 2) {
            settings.modus = settings.modus == 1 ? 2 : 1;
            writeSetting("modus", settings.modus, path);
        }
        break;
    case 4:
        settings.Musik = toggled(settings.Musik);
        writeSetting("Musik", settings.Musik, path);
        break;
    default: break;
    }
}

void optionsClick(Settings& settings, const ShellState& shell, bool playing, int32_t x, int32_t y,
                  const std::string& path)
{
    if (playing || !shell.optionsScreen || shell.highscoreScreen) return;
    // The boxes are a little inside the 60-pixel value pictures.
    static_assert(std::size(kOptionRows) == kOptionCount);
    if (!within(x, kOptionValueX, kOptionValueX + kOptionClickSize - 1)) return;
    for (int32_t box = 0; box < kOptionCount; ++box) {
        const int32_t top = kOptionRows[box].clickTop;
        if (within(y, top, top + kOptionClickSize - 1)) changeOption(settings, box, path);
    }
}
