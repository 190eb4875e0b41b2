#include "export/gif_writer.h"

#include <gif_lib.h>

#include <cstring>

namespace {

int WriteBytes(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* file = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(bytes, 1, static_cast<size_t>(length), file));
}

// The application extension that asks viewers to repeat the animation for ever.
bool PutLooping(GifFileType* gif) {
    static const GifByteType kName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kForever[] = {1, 0, 0};  // sub-block 1: loop count 0
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kName, kName) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kForever, kForever) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, const GifAnimation& animation, uint32_t frame) {
    GraphicsControlBlock control{};
    // Each frame replaces the one before, so transparent pixels show what is behind the
    // animation, not the previous frame.
    control.DisposalMode = DISPOSE_BACKGROUND;
    control.UserInputFlag = false;
    control.DelayTime = animation.delay;
    control.TransparentColor =
        animation.transparentIndex ? *animation.transparentIndex : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, animation.width, animation.height, false, nullptr) !=
            GIF_OK) {
        return false;
    }
    for (uint32_t row = 0; row < animation.height; ++row) {
        if (EGifPutLine(gif, animation.rowAt(frame, row), animation.width) != GIF_OK) return false;
    }
    return true;
}

bool Encode(GifFileType* gif, const GifAnimation& animation) {
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i] = {animation.palette[i * 3], animation.palette[i * 3 + 1],
                      animation.palette[i * 3 + 2]};
    }
    ColorMapObject* colourMap = GifMakeMapObject(256, colours);
    if (colourMap == nullptr) return false;
    EGifSetGifVersion(gif, true);
    const bool put = EGifPutScreenDesc(gif, animation.width, animation.height, 8,
                                       animation.transparentIndex.value_or(0),
                                       colourMap) == GIF_OK;
    GifFreeMapObject(colourMap);
    if (!put || !PutLooping(gif)) return false;
    for (uint32_t frame = 0; frame < animation.frameCount; ++frame) {
        if (!PutFrame(gif, animation, frame)) return false;
    }
    return true;
}

}  // namespace

bool WriteGif(std::FILE* file, const GifAnimation& animation, std::string* error) {
    int status = 0;
    GifFileType* gif = EGifOpen(file, WriteBytes, &status);
    if (gif == nullptr) {
        *error = GifErrorString(status);
        return false;
    }
    const bool encoded = Encode(gif, animation);
    if (!encoded) status = gif->Error;
    int closeStatus = 0;
    const bool closed = EGifCloseFile(gif, &closeStatus) == GIF_OK;
    if (encoded && !closed) status = closeStatus;
    if (encoded && closed) return true;
    const char* text = GifErrorString(status);
    *error = text != nullptr ? text : "GIF encoding failed";
    return false;
}
