// Arbitrary bytes as the high-score file. Whatever the list makes of them must
// survive its own save and load unchanged, and so must a score entered after.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_folder.h"
#include "highscore/highscore_list.h"
#include "list_rows.h"

namespace {

// Saves the list and reads the file back into a second list.
ListRows saveAndReload(HighscoreList& list, const PlayerName& player, const std::string& path)
{
    check(list.save(), "save failed");
    const std::string saved = readBytes(path);
    size_t lineEnds = 0;
    for (size_t at = saved.find("\r\n"); at != std::string::npos; at = saved.find("\r\n", at + 2)) ++lineEnds;
    check(lineEnds == HighscoreList::kRows, "a saved file does not hold nine CR LF lines");
    check(saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0, "saved file does not end in CR LF");
    return listOf(HighscoreList(player, path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzFolder() / "Highscore.zip";
    check(writeBytes(path, data, size), "cannot write the input file");

    PlayerName player;
    player.set("Fuzz, der Tester");
    HighscoreList list(player, path);
    const ListRows loaded = listOf(list);
    for (const ListRow& row : loaded)
        check(row.name.size() <= HighscoreList::kNameFieldLimit, "a name longer than the reader takes");

    check(saveAndReload(list, player, path) == loaded, "loaded rows change in a save and load");

    // A score made from the input's last bytes, entered like a finished
    // game's total.
    int32_t score = 0;
    if (size >= 4) std::memcpy(&score, data + size - 4, 4);
    list.insert(score);
    const ListRows entered = listOf(list);
    const std::string fault = entryFault(loaded, entered, score, player.text);
    if (!fault.empty()) fail(("insert put the score in the wrong place: " + fault).c_str());
    check(saveAndReload(list, player, path) == entered, "rows after an insert change in a save and load");
    return 0;
}
