// Writes every asset of the game into a folder: the pictures, sounds and tune
// into its Data folder, the race's level files and the window icon beside it.
// The files only an installed game has go to its folder "installed": the
// desktop icons and the settings a first start begins with.
//
//   klotzar-make-assets OUTPUT_DIR FONT_DIR
//
// The output depends on nothing but the code and the font files, so two runs
// give the same bytes.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bmp_file.h"
#include "levels.h"
#include "palette.h"
#include "pictures.h"
#include "png_file.h"
#include "sounds.h"
#include "tune.h"

namespace {

bool save(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    if (writeFile(path.string(), bytes)) return true;
    std::fprintf(stderr, "klotzar-make-assets: cannot write %s\n", path.string().c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR FONT_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::filesystem::path data = out / "Data";
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    if (ec) {
        std::fprintf(stderr, "klotzar-make-assets: cannot create %s\n", data.string().c_str());
        return 1;
    }

    Typesetter type(argv[2]);
    if (!type.ok()) {
        std::fprintf(stderr, "klotzar-make-assets: Liberation Sans not found in %s\n", argv[2]);
        return 1;
    }

    bool ok = true;
    for (const Picture& p : makePictures(type)) ok = save(data / p.file, encodeBmp24(p.image, p.matte)) && ok;
    for (const SoundFile& s : makeSounds()) ok = save(data / s.file, s.bytes) && ok;
    ok = save(data / "Fennwold_Neo_Remix.mid", makeTune()) && ok;
    ok = save(out / "icon.bmp", encodeBmp24(makeIcon())) && ok;

    for (int level = 1; level <= 5; ++level) {
        const Track track = makeLevel(level);
        // A car that changes lanes every second row must get through from any column.
        if (!passable(track, 2)) {
            std::fprintf(stderr, "klotzar-make-assets: level %d has no way through\n", level);
            ok = false;
        }
        const std::string text = levelText(track);
        ok = save(out / (std::to_string(level) + ".dat"), std::vector<uint8_t>(text.begin(), text.end())) && ok;
    }

    const std::filesystem::path installed = out / "installed";
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        std::filesystem::create_directories(installed / "icons" / folder, ec);
        ok = save(installed / "icons" / folder / "klotzar.png", encodePngRgba(makeDesktopIcon(size))) && ok;
    }
    // The game's starting values, but modus 1, so the "Spielmodus" box
    // switches from the first start on.
    const std::string settings =
        "[Optionen]\r\nVorbelegung=0\r\nZielhilfe=1\r\nVorschauzwei=0\r\nMusik=0\r\nmodus=1\r\n";
    std::filesystem::create_directories(installed / "Data", ec);
    ok = save(installed / "Data" / "ini.ini", std::vector<uint8_t>(settings.begin(), settings.end())) && ok;
    return ok ? 0 : 1;
}
