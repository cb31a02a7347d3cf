// Writes the four screens of the README as BMP files, taken from real frames
// of the program driven without a window:
//   klotzar-screenshots <folder> [name]
//     -> title.bmp game.bmp options.bmp highscores.bmp, played under the name
//        (default "Spieler")
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "driver.h"

namespace {

void put16(std::ofstream& out, uint32_t value)
{
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A 24-bit BMP, bottom row first, rows padded to four bytes.
bool writeBmp(const Surface& frame, const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    if (!out || frame.width <= 0 || frame.height <= 0) return false;
    const uint32_t rowBytes = (static_cast<uint32_t>(frame.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(frame.height);
    out.write("BM", 2);
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(frame.width));
    put32(out, static_cast<uint32_t>(frame.height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    std::string row(rowBytes, '\0');
    for (int32_t y = frame.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < frame.width; ++x) {
            const uint32_t p = frame.row(y)[x];
            row[3 * x] = static_cast<char>(p & 0xFF);
            row[3 * x + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

bool save(const Driver& d, const std::filesystem::path& folder, const char* name)
{
    const std::filesystem::path path = folder / name;
    if (!writeBmp(d.frame(), path)) {
        std::fprintf(stderr, "klotzar-screenshots: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

const char* const kList =
    "412,Greta\r\n265,Jonas\r\n180,Mira\r\n97,Paul\r\n54,Lena\r\n31,Tom\r\n12,Ida\r\n6,Ben\r\n2,Ute\r\n";

// Title, options, and a game in progress with pieces spread over the board.
bool titleGameAndOptions(const std::filesystem::path& out, const std::string& name)
{
    DriverSetup setup;
    setup.name = name;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nVorbelegung=3\r\nVorschauzwei=1\r\nmodus=1\r\n"}};
    Driver d(setup);
    d.idle();
    d.move(400, 370);
    d.idle();
    bool ok = save(d, out, "title.bmp");

    d.click(400, 440);
    d.idle();
    ok = save(d, out, "options.bmp") && ok;
    d.key(Key::Escape);

    d.press(Key::Up);
    d.press(Key::Up);
    d.press(Key::Enter);
    d.advance(300);
    // Shifts for a few drops, so the stack is not a single tower.
    const int shifts[] = {-4, 3, -1, 4, -3, 1, 0, -2};
    for (int shift : shifts) {
        const Key direction = shift < 0 ? Key::Left : Key::Right;
        for (int i = 0; i < (shift < 0 ? -shift : shift); ++i) d.press(direction);
        if (shift % 2 != 0) d.press(Key::Space);
        d.press(Key::Ctrl);
        d.advance(60);
    }
    d.advance(900);
    return save(d, out, "game.bmp") && ok;
}

// A finished game on a list that already has a few names.
bool highscores(const std::filesystem::path& out, const std::string& name)
{
    DriverSetup setup;
    setup.name = name;
    setup.files = {{"Data/Highscore.zip", kList}};
    Driver d(setup);
    d.idle();
    d.press(Key::Enter);
    d.advance(200);
    for (int drops = 0; drops < 200 && d.app().game.playing; ++drops) {
        d.press(drops % 3 == 0 ? Key::Left : Key::Right);
        d.press(Key::Ctrl);
        if (!d.app().game.playing) break;
        d.advance(40);
    }
    d.idle();
    return save(d, out, "highscores.bmp");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: klotzar-screenshots <folder> [name]\n");
        return 2;
    }
    std::error_code error;
    const std::filesystem::path out = std::filesystem::absolute(argv[1], error);
    std::filesystem::create_directories(out, error);
    const std::string name = argc == 3 ? argv[2] : "Spieler";
    bool ok = titleGameAndOptions(out, name);
    ok = highscores(out, name) && ok;
    return ok ? 0 : 1;
}
