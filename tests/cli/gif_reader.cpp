#include "cli/gif_reader.h"

#include <gif_lib.h>

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

}  // namespace

bool ReadGif(const std::filesystem::path& path, GifContents* contents, std::string* error) {
    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    if (gif == nullptr) {
        *error = GifErrorString(status);
        return false;
    }
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
