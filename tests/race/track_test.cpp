// The level-file reader: every field rule, and every way a file can fall short.
#include "race_fixture.h"

namespace {

class TrackTest : public RaceTest {
protected:
    // Fills the track with a value no file below holds, so a test sees that
    // every cell was assigned.
    void dirtyTrack()
    {
        for (int32_t r = 0; r < kTrackRows; ++r)
            for (int32_t c = 0; c < kColumns; ++c) state.trackCell(r, c) = 77;
    }

    // Cells from field index `from` on (row by row) are all 0.
    ::testing::AssertionResult emptyFrom(int32_t from) const
    {
        for (int32_t f = from; f < kTrackRows * kColumns; ++f) {
            if (state.trackCell(f / kColumns, f % kColumns) != 0)
                return ::testing::AssertionFailure()
                       << "field " << f << " holds " << state.trackCell(f / kColumns, f % kColumns);
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<int32_t> firstFields(int32_t count) const
    {
        std::vector<int32_t> v;
        for (int32_t f = 0; f < count; ++f) v.push_back(state.trackCell(f / kColumns, f % kColumns));
        return v;
    }
};

TEST_F(TrackTest, FullFileFillsTheTrackRowByRowWithEitherLineEnd)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
        writeLevel(
            1, [](int32_t r, int32_t c) { return (r * 7 + c * 3) % 10; }, lineEnd);
        dirtyTrack();
        loadTrack(state, "1.dat");
        int32_t wrong = 0;
        for (int32_t r = 0; r < kTrackRows; ++r)
            for (int32_t c = 0; c < kColumns; ++c)
                if (state.trackCell(r, c) != (r * 7 + c * 3) % 10) ++wrong;
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(TrackTest, FieldValuesFollowTheirCharacters)
{
    // A blank and a digit, a minus and a digit, two commas in a row, a plus
    // sign, a letter, a digit then a letter, a lone minus, two digits.
    writeFile("1.dat", " 5,-1,,+3,x,4x,-,42,7");
    dirtyTrack();
    loadTrack(state, "1.dat");
    EXPECT_EQ(firstFields(9), (std::vector<int32_t>{5, -1, 0, 3, 0, 4, 0, 42, 7}));
    // The last field needs no comma; after the end of the file all is empty.
    EXPECT_TRUE(emptyFrom(9));
}

TEST_F(TrackTest, TenthValueWithoutCommaStopsTheReadAfterTheFirstRow)
{
    // The tenth field takes the 9 and the line break; the next line's first
    // digit is a third character, so reading stops for good.
    std::string text;
    for (int32_t line = 0; line < kTrackRows; ++line) text += "1,2,3,4,5,6,7,8,3,9\n";
    writeFile("1.dat", text);
    dirtyTrack();
    loadTrack(state, "1.dat");
    EXPECT_EQ(firstFields(10), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 3, 9}));
    EXPECT_TRUE(emptyFrom(10));
}

TEST_F(TrackTest, OverlongFieldKeepsTwoCharactersAndEmptiesTheRest)
{
    writeFile("1.dat", "1,123,4,5,6,");
    dirtyTrack();
    loadTrack(state, "1.dat");
    EXPECT_EQ(firstFields(2), (std::vector<int32_t>{1, 12}));
    EXPECT_TRUE(emptyFrom(2));

    // A two-digit value after a line break is three characters as well.
    writeFile("1.dat", "1,2,3,4,5,6,7,8,9,1,\n12,5,");
    loadTrack(state, "1.dat");
    EXPECT_EQ(firstFields(11), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 1}));
    EXPECT_TRUE(emptyFrom(11));
}

TEST_F(TrackTest, ShortMissingOrMisplacedFilesLeaveEmptyCells)
{
    writeFile("1.dat", "1,2,3");
    dirtyTrack();
    loadTrack(state, "1.dat");
    EXPECT_EQ(firstFields(3), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(emptyFrom(3));

    dirtyTrack();
    loadTrack(state, "9.dat");
    EXPECT_TRUE(emptyFrom(0));

    writeFile("empty.dat", "");
    dirtyTrack();
    loadTrack(state, "empty.dat");
    EXPECT_TRUE(emptyFrom(0));

    // Level files live beside the program, not in Data.
    std::filesystem::remove("1.dat");
    std::filesystem::create_directory("Data");
    writeFile("Data/1.dat", "5,5,5,5,5,5,5,5,5,5,");
    writeFile("Data\\1.dat", "5,5,5,5,5,5,5,5,5,5,");
    dirtyTrack();
    startRaceGame();
    EXPECT_TRUE(game.playing);
    EXPECT_TRUE(emptyFrom(0));
}

}  // namespace
