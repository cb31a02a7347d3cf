// The one reader every game file goes through, and the atomic replace every
// written file goes through, against what can stand in a file's place.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "files/game_files.h"
#include "scratch_folder.h"

namespace {

constexpr size_t kBound = 1 << 20;

// Reads path on another thread; a reader that blocks (on a FIFO without a
// writer) is freed by opening the FIFO's other end and the test fails.
FileRead readWithin(const std::string& path, size_t bound, std::string& bytes)
{
    auto pending = std::async(std::launch::async, [&] { return ReadGameFile(path, bound, bytes); });
    if (pending.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ADD_FAILURE() << path << ": the reader blocked";
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    return pending.get();
}

const char* nameOf(FileRead result)
{
    switch (result) {
    case FileRead::Ok: return "Ok";
    case FileRead::Missing: return "Missing";
    case FileRead::Refused: break;
    }
    return "Refused";
}

TEST(ReadGameFile, TakesRegularFilesUpToTheBoundAndNothingElse)
{
    ScratchFolder folder;
    const std::string exact(kBound, 'x');
    writeBytes(folder / "exact", exact);
    writeBytes(folder / "over", exact + "y");
    writeBytes(folder / "small", "1,a\r\n");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((folder / "folder").c_str(), 0700), 0);
    writeBytes(folder / "sparse", "");
    ASSERT_EQ(::truncate((folder / "sparse").c_str(), off_t{1} << 30), 0);
    ASSERT_EQ(::symlink((folder / "small").c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(::symlink((folder / "fifo").c_str(), (folder / "link-to-fifo").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", (folder / "link-to-zero").c_str()), 0);
    ASSERT_EQ(::symlink((folder / "gone").c_str(), (folder / "dangling").c_str()), 0);

    const struct {
        std::string path;
        FileRead expected;
        std::string bytes;
    } cases[] = {
        {folder / "small", FileRead::Ok, "1,a\r\n"},
        {folder / "exact", FileRead::Ok, exact},
        {folder / "link", FileRead::Ok, "1,a\r\n"},
        {folder / "over", FileRead::Refused, ""},
        {folder / "sparse", FileRead::Refused, ""},
        {folder / "fifo", FileRead::Refused, ""},
        {folder / "link-to-fifo", FileRead::Refused, ""},
        {folder / "folder", FileRead::Refused, ""},
        {"/dev/zero", FileRead::Refused, ""},
        {folder / "link-to-zero", FileRead::Refused, ""},
        {folder / "absent", FileRead::Missing, ""},
        {folder / "small/below-a-file", FileRead::Missing, ""},
        {folder / "dangling", FileRead::Missing, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string bytes = "left over";
        const FileRead result = readWithin(c.path, kBound, bytes);
        EXPECT_STREQ(nameOf(result), nameOf(c.expected));
        EXPECT_EQ(bytes.size(), c.bytes.size());
        EXPECT_TRUE(bytes == c.bytes);
        if (result != FileRead::Ok) {
            EXPECT_LE(bytes.capacity(), 64u) << "memory kept for a refused file";
        }
    }
}

TEST(ReadGameFile, AFifoWithAWriterIsRefusedToo)
{
    // Even with data waiting, a FIFO is no game file: it could run forever.
    ScratchFolder folder;
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "1,a\n", 4), 4);
    std::string bytes;
    EXPECT_STREQ(nameOf(readWithin(fifo, kBound, bytes)), "Refused");
    ::close(writer);
    ::close(reader);
}

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(ReplaceFileAtomically, KeepsTheModeAndNeverWritesThroughALink)
{
    ScratchFolder folder;
    const std::string list = folder / "list";
    writeBytes(list, "old");
    ASSERT_EQ(::chmod(list.c_str(), 0600), 0);
    ASSERT_TRUE(ReplaceFileAtomically(list, "new"));
    EXPECT_EQ(readBytes(list), "new");
    EXPECT_EQ(modeOf(list) & 0777, 0600u) << "a private list became readable by others";

    // A link in the file's place is replaced by the file; what it points to
    // stays as it was.
    const std::string victim = folder / "victim";
    writeBytes(victim, "keep");
    const std::string linked = folder / "linked";
    ASSERT_EQ(::symlink(victim.c_str(), linked.c_str()), 0);
    ASSERT_TRUE(ReplaceFileAtomically(linked, "new"));
    EXPECT_EQ(readBytes(victim), "keep");
    EXPECT_TRUE(S_ISREG(modeOf(linked)));
    EXPECT_EQ(readBytes(linked), "new");

    // Nor through a link planted where the temporary file goes.
    const std::string other = folder / "other";
    ASSERT_EQ(::symlink(victim.c_str(), (other + ".tmp").c_str()), 0);
    ASSERT_TRUE(ReplaceFileAtomically(other, "new"));
    EXPECT_EQ(readBytes(victim), "keep");
    EXPECT_EQ(readBytes(other), "new");
}

}  // namespace
