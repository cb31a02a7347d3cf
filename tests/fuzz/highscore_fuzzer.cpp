// Arbitrary bytes as the high-score file. Whatever the list makes of them must
// survive its own save and load unchanged, and so must a score entered after.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_folder.h"
#include "highscore/highscore_list.h"

namespace {

struct Row {
    int32_t score;
    std::string name;
    bool operator==(const Row& other) const { return score == other.score && name == other.name; }
};

std::vector<Row> rowsOf(const HighscoreList& list)
{
    std::vector<Row> rows;
    for (int i = 0; i < HighscoreList::kRows; ++i) rows.push_back({list.scoreAt(i), list.nameAt(i)});
    return rows;
}

// Saves the list and reads the file back into a second list.
std::vector<Row> saveAndReload(HighscoreList& list, const PlayerName& player, const std::string& path)
{
    check(list.save(), "save failed");
    const std::string saved = readFile(path);
    size_t lineEnds = 0;
    for (size_t at = saved.find("\r\n"); at != std::string::npos; at = saved.find("\r\n", at + 2)) ++lineEnds;
    check(lineEnds == HighscoreList::kRows, "a saved file does not hold nine CR LF lines");
    check(saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0, "saved file does not end in CR LF");
    return rowsOf(HighscoreList(player, path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzFolder() / "Highscore.zip";
    writeFile(path, data, size);

    PlayerName player;
    player.set("Fuzz, der Tester");
    HighscoreList list(player, path);
    const std::vector<Row> loaded = rowsOf(list);
    for (const Row& row : loaded)
        check(row.name.size() <= HighscoreList::kNameFieldLimit, "a name longer than the reader takes");

    check(saveAndReload(list, player, path) == loaded, "loaded rows change in a save and load");

    // A score made from the input's last bytes, entered like a finished
    // game's total: it goes directly below the lowest row that is not
    // smaller, searched from the bottom, and rank 8 drops out.
    int32_t score = 0;
    if (size >= 4) std::memcpy(&score, data + size - 4, 4);
    std::vector<Row> expected = loaded;
    size_t p = expected.size();
    while (p > 0 && expected[p - 1].score < score) --p;
    if (p < expected.size()) {
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(p), Row{score, player.text});
        expected.pop_back();
    }
    list.insert(score);
    check(rowsOf(list) == expected, "insert put the score in the wrong place");
    check(saveAndReload(list, player, path) == expected, "rows after an insert change in a save and load");
    return 0;
}
