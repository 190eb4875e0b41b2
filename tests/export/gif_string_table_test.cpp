// The writer weighs ways of writing a frame by the bytes giflib would make of each, taken
// from a table that follows the encoder's own: so the count must be giflib's, byte for
// byte, across code widths, table clears and every code size. And the pixels the chooser
// picks must show the same picture, and be worth the choosing.
#include "export/gif_pixel_choice.h"
#include "export/gif_string_table.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

int ToMemory(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* memory = static_cast<std::vector<uint8_t>*>(gif->UserData);
    memory->insert(memory->end(), bytes, bytes + length);
    return length;
}

// The bytes giflib writes for one image of `pixels` (rows of `width`) under a colour table
// of `bits` bits: the code size, the sub-blocks and their terminator.
size_t GiflibImageBytes(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t bits) {
    std::vector<uint8_t> file;
    int status = 0;
    GifFileType* gif = EGifOpen(&file, ToMemory, &status);
    EXPECT_NE(gif, nullptr);
    if (gif == nullptr) return 0;
    const int colours = 1 << bits;
    std::vector<GifColorType> table(static_cast<size_t>(colours));
    ColorMapObject* map = GifMakeMapObject(colours, table.data());
    const auto height = static_cast<int>(pixels.size() / width);
    EXPECT_EQ(EGifPutScreenDesc(gif, static_cast<int>(width), height, 8, 0, map), GIF_OK);
    GifFreeMapObject(map);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, static_cast<int>(width), height, false, nullptr),
              GIF_OK);
    const size_t before = file.size();
    std::vector<uint8_t> row(width);
    for (int y = 0; y < height; ++y) {
        std::copy_n(&pixels[static_cast<size_t>(y) * width], width, row.begin());
        EXPECT_EQ(EGifPutLine(gif, row.data(), static_cast<int>(width)), GIF_OK);
    }
    const size_t image = file.size() - before;
    EGifCloseFile(gif, &status);
    return image + 1;  // the code size byte, written with the image descriptor
}

uint64_t TableBytes(const std::vector<uint8_t>& pixels, uint32_t bits) {
    GifStringTable table;
    table.Start(bits);
    table.PutRow(pixels.data(), static_cast<uint32_t>(pixels.size()));
    return table.Bytes();
}

TEST(GifStringTable, CountsTheBytesGiflibWrites) {
    std::mt19937 engine(7);
    for (uint32_t bits = 1; bits <= 8; ++bits) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        const uint32_t colours = 1u << bits;
        // One pixel; runs; noise long enough to fill and clear the table several times.
        std::vector<std::vector<uint8_t>> images = {{0}};
        std::vector<uint8_t> runs, noise(60000);
        for (uint32_t i = 0; i < 5000; ++i) {
            runs.insert(runs.end(), 1 + engine() % 40, static_cast<uint8_t>(engine() % colours));
        }
        for (uint8_t& pixel : noise) pixel = static_cast<uint8_t>(engine() % colours);
        images.push_back(runs);
        images.push_back(noise);
        for (std::vector<uint8_t>& image : images) {
            image.resize(image.size() / 100 * 100 + (image.size() < 100 ? image.size() : 0));
            const uint32_t width = image.size() < 100 ? static_cast<uint32_t>(image.size()) : 100;
            EXPECT_EQ(TableBytes(image, bits), GiflibImageBytes(image, width, bits))
                << image.size() << " pixels";
        }
    }
}

// A textured canvas that a frame redraws with a few pixels changed: each unchanged pixel
// may be its colour or transparent.
TEST(GifPixelChooser, ShowsTheSamePictureInNoMoreBytesThanEitherPlainWay) {
    std::mt19937 engine(11);
    constexpr uint32_t kWidth = 64, kHeight = 48, kBits = 4;
    constexpr uint8_t kTransparent = 15;
    std::vector<uint16_t> canvas(kWidth * kHeight);
    std::vector<uint8_t> frame(kWidth * kHeight);
    for (uint32_t i = 0; i < canvas.size(); ++i) {
        canvas[i] = static_cast<uint16_t>((i / 3 + i / kWidth) % 5);  // stripes
        frame[i] = engine() % 10 == 0 ? uint8_t{7} : static_cast<uint8_t>(canvas[i]);
    }
    GifPixelChooser chooser;
    chooser.Start(kBits);
    std::vector<uint8_t> chosen(frame.size()), transparent(frame.size());
    for (uint32_t y = 0; y < kHeight; ++y) {
        chooser.ChooseRow(&frame[y * kWidth], &canvas[y * kWidth], kWidth, kTransparent,
                          &chosen[y * kWidth]);
    }
    for (size_t i = 0; i < frame.size(); ++i) {
        const bool unchanged = frame[i] == canvas[i];
        transparent[i] = unchanged ? kTransparent : frame[i];
        // A changed pixel is written as itself; an unchanged one as itself or transparent.
        if (!unchanged || chosen[i] != kTransparent) {
            ASSERT_EQ(chosen[i], frame[i]) << i;
        }
    }
    const uint64_t bytes = chooser.table.Bytes();
    EXPECT_EQ(bytes, GiflibImageBytes(chosen, kWidth, kBits));
    EXPECT_LE(bytes, GiflibImageBytes(frame, kWidth, kBits));
    EXPECT_LE(bytes, GiflibImageBytes(transparent, kWidth, kBits));
}

}  // namespace
