#include "support/gif/gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

// The loop count of a NETSCAPE2.0 application extension among `blocks`, or -1.
int LoopCount(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i) {
        const ExtensionBlock& name = blocks[i];
        const ExtensionBlock& data = blocks[i + 1];
        if (name.Function == APPLICATION_EXT_FUNC_CODE && name.ByteCount == 11 &&
            std::memcmp(name.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1) {
            return data.Bytes[1] | data.Bytes[2] << 8;
        }
    }
    return -1;
}

// Reads the whole of an opened file into `contents` and closes it.
bool Slurp(GifFileType* gif, GifContents* contents, std::string* error) {
    int status = 0;
    if (DGifSlurp(gif) != GIF_OK) {
        *error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &status);
        return false;
    }
    contents->width = static_cast<uint32_t>(gif->SWidth);
    contents->height = static_cast<uint32_t>(gif->SHeight);
    if (gif->SColorMap != nullptr) {
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType& colour = gif->SColorMap->Colors[i];
            contents->palette.insert(contents->palette.end(), {colour.Red, colour.Green, colour.Blue});
        }
    }
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GifContents::Frame frame;
        frame.left = static_cast<uint32_t>(image.ImageDesc.Left);
        frame.top = static_cast<uint32_t>(image.ImageDesc.Top);
        frame.width = static_cast<uint32_t>(image.ImageDesc.Width);
        frame.height = static_cast<uint32_t>(image.ImageDesc.Height);
        frame.localColours = image.ImageDesc.ColorMap != nullptr;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.transparent = control.TransparentColor;
            frame.disposal = control.DisposalMode;
        }
        frame.pixels.assign(image.RasterBits,
                            image.RasterBits + size_t{frame.width} * frame.height);
        contents->frames.push_back(std::move(frame));
        if (contents->loopCount < 0) {
            contents->loopCount = LoopCount(image.ExtensionBlocks, image.ExtensionBlockCount);
        }
    }
    if (contents->loopCount < 0) {
        contents->loopCount = LoopCount(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    }
    DGifCloseFile(gif, &status);
    return true;
}

struct ByteReader {
    const uint8_t* bytes;
    size_t size;
    size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* target, int length) {
    auto* reader = static_cast<ByteReader*>(gif->UserData);
    const size_t count = std::min(reader->size - reader->at, static_cast<size_t>(length));
    std::memcpy(target, reader->bytes + reader->at, count);
    reader->at += count;
    return static_cast<int>(count);
}

}  // namespace

bool ReadGif(const std::filesystem::path& path, GifContents* contents, std::string* error) {
    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    if (gif == nullptr) {
        *error = GifErrorString(status);
        return false;
    }
    return Slurp(gif, contents, error);
}

bool ReadGifBytes(const uint8_t* bytes, size_t size, GifContents* contents, std::string* error) {
    ByteReader reader{bytes, size};
    int status = 0;
    GifFileType* gif = DGifOpen(&reader, ReadBytes, &status);
    if (gif == nullptr) {
        *error = GifErrorString(status);
        return false;
    }
    return Slurp(gif, contents, error);
}

bool CompositeGif(const GifContents& contents, std::vector<GifShownFrame>* shown,
                  std::string* error) {
    const size_t colours = contents.palette.size() / 3;
    GifShownFrame canvas(size_t{contents.width} * contents.height, kGifClear);
    for (size_t i = 0; i < contents.frames.size(); ++i) {
        const GifContents::Frame& frame = contents.frames[i];
        const std::string name = "frame " + std::to_string(i);
        if (frame.localColours) {
            *error = name + " has colours of its own";
            return false;
        }
        if (uint64_t{frame.left} + frame.width > contents.width ||
            uint64_t{frame.top} + frame.height > contents.height) {
            *error = name + " leaves the screen";
            return false;
        }
        const GifShownFrame before = canvas;
        for (uint32_t y = 0; y < frame.height; ++y) {
            for (uint32_t x = 0; x < frame.width; ++x) {
                const uint8_t index = frame.pixels[size_t{y} * frame.width + x];
                if (index == frame.transparent) continue;
                if (index >= colours) {
                    *error = name + " paints index " + std::to_string(index) +
                             ", beyond the colour table";
                    return false;
                }
                canvas[size_t{frame.top + y} * contents.width + frame.left + x] = index;
            }
        }
        shown->push_back(canvas);
        if (frame.disposal == DISPOSE_BACKGROUND) {
            for (uint32_t y = 0; y < frame.height; ++y) {
                uint16_t* row = &canvas[size_t{frame.top + y} * contents.width + frame.left];
                std::fill(row, row + frame.width, kGifClear);
            }
        } else if (frame.disposal == DISPOSE_PREVIOUS) {
            canvas = before;
        }
    }
    return true;
}

std::vector<uint32_t> ShownColours(const GifShownFrame& frame, const std::vector<uint8_t>& palette) {
    std::vector<uint32_t> colours;
    colours.reserve(frame.size());
    for (uint16_t index : frame) {
        if (index == kGifClear || size_t{index} * 3 + 2 >= palette.size()) {
            colours.push_back(index == kGifClear ? kGifClearColour : 0xFFFFFFFF);
            continue;
        }
        const uint8_t* rgb = &palette[size_t{index} * 3];
        colours.push_back(uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2]);
    }
    return colours;
}
