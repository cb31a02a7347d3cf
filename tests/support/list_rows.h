#pragma once
// High-score lists as plain rows, for tests: what a list holds, its file, and
// whether a list after a game is what entering the game's total must give.
#include <cstdint>
#include <string>
#include <vector>

#include "highscore/highscore_list.h"

struct ListRow {
    int32_t score;
    std::string name;
    bool operator==(const ListRow& other) const { return score == other.score && name == other.name; }
    bool operator!=(const ListRow& other) const { return !(*this == other); }
};
using ListRows = std::vector<ListRow>;

inline ListRows listOf(const HighscoreList& list)
{
    ListRows rows;
    for (int rank = 0; rank < HighscoreList::kRows; ++rank) rows.push_back({list.scoreAt(rank), list.nameAt(rank)});
    return rows;
}

// The file as the game writes it: "score,name" and CR LF per row.
inline std::string listFile(const ListRows& rows)
{
    std::string text;
    for (const ListRow& row : rows) text += std::to_string(row.score) + "," + row.name + "\r\n";
    return text;
}

inline std::string describe(const ListRows& rows)
{
    std::string text;
    for (const ListRow& row : rows) text += std::to_string(row.score) + " " + row.name + "; ";
    return text;
}

// Empty when `after` is `before` with total entered under name, else what is
// wrong. Entered means: the new row stands where every row below it in the
// old list is smaller and the one above (if any) is not; the rows below move
// down one and the last drops out. A total no smaller than the last row is not
// entered, and the list stays as it was.
inline std::string entryFault(const ListRows& before, const ListRows& after, int32_t total, const std::string& name)
{
    if (after.size() != before.size())
        return std::to_string(after.size()) + " rows after the game, " + std::to_string(before.size()) + " before";
    const std::string was = " (before: " + describe(before) + "after: " + describe(after) + ")";
    size_t p = 0;
    while (p < after.size() && after[p] == before[p]) ++p;
    if (p == after.size()) {
        if (!before.empty() && before.back().score < total)
            return std::to_string(total) + " is above the last row but was not entered" + was;
        return "";
    }
    if (after[p] != ListRow{total, name})
        return "rank " + std::to_string(p) + " changed to another row than the game's" + was;
    for (size_t k = p + 1; k < after.size(); ++k)
        if (after[k] != before[k - 1]) return "rank " + std::to_string(k) + " is not the row that was one higher" + was;
    for (size_t k = p; k < before.size(); ++k)
        if (before[k].score >= total) return "entered above a row that is not smaller, rank " + std::to_string(k) + was;
    if (p > 0 && before[p - 1].score < total) return "entered below a smaller row, rank " + std::to_string(p - 1) + was;
    return "";
}
