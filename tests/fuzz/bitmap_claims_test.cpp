// A bitmap file is trusted with its pixels only as far as it carries them: a
// header of a few dozen bytes claiming a picture of gigabytes must not make
// the loader ask for that memory. Inputs found by bitmap_fuzzer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/bitmap.h"
#include "scratch_folder.h"

namespace {

// SDL's allocations are watched: the largest request is kept, and requests
// beyond the limit are refused, so a test never takes gigabytes for real.
constexpr size_t kLargestAllowed = size_t{64} << 20;
size_t largestRequest = 0;

void* watchedMalloc(size_t size)
{
    largestRequest = std::max(largestRequest, size);
    return size > kLargestAllowed ? nullptr : std::malloc(size);
}
void* watchedCalloc(size_t count, size_t size)
{
    largestRequest = std::max(largestRequest, count * size);
    return count * size > kLargestAllowed ? nullptr : std::calloc(count, size);
}
void* watchedRealloc(void* p, size_t size)
{
    largestRequest = std::max(largestRequest, size);
    return size > kLargestAllowed ? nullptr : std::realloc(p, size);
}

class WatchedSdlMemory : public ::testing::Test {
protected:
    void SetUp() override
    {
        SDL_GetMemoryFunctions(&malloc_, &calloc_, &realloc_, &free_);
        SDL_SetMemoryFunctions(watchedMalloc, watchedCalloc, watchedRealloc, std::free);
        largestRequest = 0;
    }
    void TearDown() override { SDL_SetMemoryFunctions(malloc_, calloc_, realloc_, free_); }

    SDL_malloc_func malloc_ = nullptr;
    SDL_calloc_func calloc_ = nullptr;
    SDL_realloc_func realloc_ = nullptr;
    SDL_free_func free_ = nullptr;
};

// A 24-bit BMP of 54 bytes: the two headers and no pixels at all.
std::string headerOnly(int32_t width, int32_t height)
{
    std::string bytes(54, '\0');
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54, 4);   // file size
    put(10, 54, 4);  // pixels start
    put(14, 40, 4);  // info header size
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);   // planes
    put(28, 24, 2);  // bits per pixel
    return bytes;
}

}  // namespace

TEST_F(WatchedSdlMemory, AHeaderClaimingGigabytesWithoutPixelsGivesNothingCheaply)
{
    // 3 x 2621442 pixels of 24 bits and 26 bytes of them (corpus/bitmap/crash-claims-24-gigabytes).
    const std::string found("\x42\x4d\x4e\x00\x27\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00"
                            "\x03\x00\x00\x00\x02\x00\x28\x00\x01\x00\x18\x00\x00\x00\x00\x00\x18\x00\x00\x00"
                            "\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x14\x00\x00\xff"
                            "\x00\x00\x00\xff\x00\x00\x00\x00\x00\x00\xff\x00\x00\xff\x15\x00\x00\x00\x00\x00",
                            80);
    // A header cut short after 29 bytes (corpus/bitmap/crash-header-cut-short).
    const std::string cutShort("\x42\x4d\x92\x2d\x00\x00\x00\x00\x00\xa4\x00\x00\x8a\x00\x00\x00\x7c\x00\x00\x00"
                               "\x02\x00\x00\x00\x00\x04\x02\x00\x01",
                               29);
    const std::pair<const char*, std::string> files[] = {
        {"found by the fuzzer", found},
        {"cut short", cutShort},
        // SDL even takes this one as read, with no pixel in the file.
        {"30000 x 30000, no pixels", headerOnly(30000, 30000)},
        {"65536 x 65536, no pixels", headerOnly(65536, 65536)},
    };
    ScratchFolder folder;
    for (const auto& [name, bytes] : files) {
        const std::string path = folder / "gross.bmp";
        ASSERT_TRUE(writeBytes(path, bytes));
        largestRequest = 0;
        BitmapError error = BitmapError::None;
        const SurfacePtr surface = ReadBitmapFile(path, 25, 25, error);
        EXPECT_FALSE(surface) << name;
        EXPECT_EQ(error, BitmapError::NotReadable) << name;
        EXPECT_LE(largestRequest, kLargestAllowed) << name << ": the loader asked for " << (largestRequest >> 20)
                                                   << " MB for a file of " << bytes.size() << " bytes";
    }
}
