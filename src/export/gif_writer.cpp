#include "export/gif_writer.h"

#include <gif_lib.h>

#include <vector>

#include "export/gif_canvas.h"
#include "export/gif_frame_plan.h"

namespace {

int WriteToFile(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* file = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(bytes, 1, static_cast<size_t>(length), file));
}

int WriteToMemory(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* memory = static_cast<std::vector<uint8_t>*>(gif->UserData);
    memory->insert(memory->end(), bytes, bytes + length);
    return length;
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

int DisposalMode(GifDisposal disposal) {
    switch (disposal) {
        case GifDisposal::Keep: return DISPOSE_DO_NOT;
        case GifDisposal::Clear: return DISPOSE_BACKGROUND;
        case GifDisposal::Restore: return DISPOSE_PREVIOUS;
    }
    return DISPOSE_DO_NOT;
}

// One frame's rectangle encoded into memory by an encoder of its own, which shares the
// file's colour table size and so its code size; only the image's bytes are kept.
struct ImageEncoder {
    std::vector<uint8_t> bytes;
    GifFileType* gif = nullptr;

    bool Open(const ColorMapObject* colours, uint16_t width, uint16_t height) {
        int status = 0;
        gif = EGifOpen(&bytes, WriteToMemory, &status);
        return gif != nullptr && EGifPutScreenDesc(gif, width, height, 8, 0, colours) == GIF_OK;
    }
    bool Begin(const GifPlannedFrame& frame) {
        bytes.clear();
        return EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false,
                                nullptr) == GIF_OK;
    }
    bool PutLine(uint8_t* row, uint16_t width) { return EGifPutLine(gif, row, width) == GIF_OK; }
    ~ImageEncoder() {
        int status = 0;
        if (gif != nullptr) EGifCloseFile(gif, &status);
    }
};

struct Writer {
    const GifAnimation& animation;
    const GifFrameSource source;
    const GifFramePlan plan;
    GifFileType* gif;  // the file's encoder: screen, extensions, trailer
    ImageEncoder plain{};        // changes and clear pixels only
    ImageEncoder substituted{};  // unchanged pixels transparent too
    GifCanvas canvas{animation.width, animation.height};

    bool Open(ColorMapObject* colours) {
        EGifSetGifVersion(gif, true);
        return EGifPutScreenDesc(gif, animation.width, animation.height, 8, 0, colours) ==
                   GIF_OK &&
               PutLooping(gif) && plain.Open(colours, animation.width, animation.height) &&
               substituted.Open(colours, animation.width, animation.height);
    }

    // True when making unchanged pixels transparent would change one of the frame's bytes:
    // else the second encoding would only repeat the first.
    bool SubstitutionChangesAnything(uint32_t index, const GifPlannedFrame& frame) {
        const uint8_t free = *frame.transparent;
        for (uint32_t y = frame.top; y < uint32_t{frame.top} + frame.height; ++y) {
            const uint8_t* rendered = source.rowAt(index, y) + frame.left;
            const uint16_t* before = canvas.Row(y) + frame.left;
            for (uint32_t x = 0; x < frame.width; ++x) {
                const uint16_t shown = plan.written[rendered[x]];
                if (shown == before[x] && shown != free && shown != GifCanvas::kClear) return true;
            }
        }
        return false;
    }

    // Encodes the frame both ways where that can differ, and says which bytes to keep.
    const ImageEncoder* Encode(uint32_t index, const GifPlannedFrame& frame) {
        const bool both =
            frame.transparent.has_value() && SubstitutionChangesAnything(index, frame);
        if (!plain.Begin(frame) || (both && !substituted.Begin(frame))) return nullptr;
        const uint8_t free = frame.transparent.value_or(0);
        std::vector<uint8_t> plainRow(frame.width), substitutedRow(frame.width);
        for (uint32_t y = frame.top; y < uint32_t{frame.top} + frame.height; ++y) {
            const uint8_t* rendered = source.rowAt(index, y) + frame.left;
            const uint16_t* before = canvas.Row(y) + frame.left;
            for (uint32_t x = 0; x < frame.width; ++x) {
                const uint16_t shown = plan.written[rendered[x]];
                plainRow[x] = shown == GifCanvas::kClear ? free : static_cast<uint8_t>(shown);
                substitutedRow[x] = shown == before[x] ? free : plainRow[x];
            }
            if (!plain.PutLine(plainRow.data(), frame.width) ||
                (both && !substituted.PutLine(substitutedRow.data(), frame.width))) {
                return nullptr;
            }
        }
        if (both && substituted.bytes.size() < plain.bytes.size()) return &substituted;
        return &plain;
    }

    bool PutFrame(uint32_t index) {
        const GifPlannedFrame& frame = plan.frames[index];
        const ImageEncoder* chosen = Encode(index, frame);
        if (chosen == nullptr) return false;
        GraphicsControlBlock control{};
        control.DisposalMode = DisposalMode(frame.disposal);
        control.UserInputFlag = false;
        control.DelayTime = animation.delay;
        const bool transparent = chosen == &substituted || frame.needsTransparent;
        control.TransparentColor = transparent ? *frame.transparent : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK) {
            return false;
        }
        // The image's bytes go to the file after its control block, as the file's encoder
        // would have written them.
        const std::vector<uint8_t>& bytes = chosen->bytes;
        if (WriteToFile(gif, bytes.data(), static_cast<int>(bytes.size())) !=
            static_cast<int>(bytes.size())) {
            gif->Error = E_GIF_ERR_WRITE_FAILED;
            return false;
        }
        canvas.PassFrame(source, index, frame, plan.written);
        return true;
    }
};

GifFrameSource SourceOf(const GifAnimation& animation) {
    return {animation.width, animation.height, animation.frameCount, animation.transparentIndex,
            animation.palette, animation.rowAt};
}

bool Encode(GifFileType* gif, const GifAnimation& animation) {
    const GifFrameSource source = SourceOf(animation);
    Writer writer{animation, source, PlanGifFrames(source), gif};
    const std::vector<uint8_t>& table = writer.plan.colours;
    std::vector<GifColorType> colours(writer.plan.colourCount);
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = {table[i * 3], table[i * 3 + 1], table[i * 3 + 2]};
    }
    ColorMapObject* colourMap =
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (colourMap == nullptr) return false;
    const bool opened = writer.Open(colourMap);
    GifFreeMapObject(colourMap);
    if (!opened) return false;
    for (uint32_t frame = 0; frame < animation.frameCount; ++frame) {
        if (!writer.PutFrame(frame)) return false;
    }
    return true;
}

}  // namespace

bool WriteGif(std::FILE* file, const GifAnimation& animation, std::string* error) {
    // GIF has no empty image: even a frame that changes nothing keeps a pixel.
    if (animation.width == 0 || animation.height == 0 || animation.frameCount == 0) {
        *error = "an animation needs a frame and a screen of at least one pixel";
        return false;
    }
    int status = 0;
    GifFileType* gif = EGifOpen(file, WriteToFile, &status);
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
