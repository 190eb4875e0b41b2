#include "export/gif_writer.h"

#include <gif_lib.h>

#include <vector>

#include "export/gif_canvas.h"
#include "export/gif_frame_plan.h"
#include "export/gif_pixel_choice.h"
#include "export/gif_string_table.h"

namespace {

int WriteToFile(GifFileType* gif, const GifByteType* bytes, int length) {
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

int DisposalMode(GifDisposal disposal) {
    switch (disposal) {
        case GifDisposal::Keep: return DISPOSE_DO_NOT;
        case GifDisposal::Clear: return DISPOSE_BACKGROUND;
        case GifDisposal::Restore: return DISPOSE_PREVIOUS;
    }
    return DISPOSE_DO_NOT;
}

// The three ways of writing a frame's rectangle; each shows the same picture.
enum class PixelWay : uint8_t {
    Plain,        // changes and clear pixels only; every other pixel as its colour
    Transparent,  // unchanged pixels transparent too
    Chosen,       // each unchanged pixel as whichever makes the longer strings
};

struct Writer {
    const GifAnimation& animation;
    const GifFrameSource source;
    const GifFramePlan plan;
    GifFileType* gif;
    GifCanvas canvas{animation.width, animation.height};
    uint32_t colourBits = 1;
    GifStringTable plainTable{}, transparentTable{};
    GifPixelChooser chooser{};
    std::vector<uint8_t> plainRow{}, transparentRow{}, limitedRow{};
    std::vector<uint8_t> chosen{};  // the rectangle as the chooser wrote it

    bool Open(ColorMapObject* colours) {
        EGifSetGifVersion(gif, true);
        colourBits = static_cast<uint32_t>(colours->BitsPerPixel);
        return EGifPutScreenDesc(gif, animation.width, animation.height, 8, 0, colours) ==
                   GIF_OK &&
               PutLooping(gif);
    }

    // Row y of the rectangle of frame `index`, each pixel as its colour (clear pixels
    // transparent), and with the unchanged ones transparent too.
    void Rows(uint32_t index, const GifPlannedFrame& frame, uint32_t y, uint8_t free) {
        const uint8_t* rendered = source.rowAt(index, y) + frame.left;
        const uint16_t* before = canvas.Row(y) + frame.left;
        for (uint32_t x = 0; x < frame.width; ++x) {
            const uint16_t shown = plan.written[rendered[x]];
            plainRow[x] = shown == GifCanvas::kClear ? free : static_cast<uint8_t>(shown);
            transparentRow[x] = shown == before[x] ? free : plainRow[x];
        }
    }

    // Weighs the three ways by the bytes the encoder would make of each, and keeps the
    // smallest; a tie goes to the plainer. Sets `bits` to the chosen way's code size.
    PixelWay Choose(uint32_t index, const GifPlannedFrame& frame, uint32_t* bits) {
        const uint8_t free = frame.transparent.value_or(0);
        const uint32_t clear = frame.needsTransparent ? free : 0;
        *bits = GifIndexBits(std::max<uint32_t>(frame.highestShown, clear));
        if (!frame.substitutable) return PixelWay::Plain;
        const uint32_t transparentBits =
            GifIndexBits(std::max<uint32_t>(frame.highestChanged, free));
        plainTable.Start(*bits);
        transparentTable.Start(transparentBits);
        // The chooser keeps to the transparent way's code size: an unchanged pixel whose
        // colour would need a wider code is written transparent.
        chooser.Start(transparentBits);
        const uint32_t limit = 1u << transparentBits;
        chosen.resize(size_t{frame.width} * frame.height);
        for (uint32_t y = 0; y < frame.height; ++y) {
            Rows(index, frame, frame.top + y, free);
            plainTable.PutRow(plainRow.data(), frame.width);
            transparentTable.PutRow(transparentRow.data(), frame.width);
            for (uint32_t x = 0; x < frame.width; ++x) {
                limitedRow[x] = plainRow[x] < limit ? plainRow[x] : free;
            }
            chooser.ChooseRow(limitedRow.data(), canvas.Row(frame.top + y) + frame.left,
                              frame.width, free, &chosen[size_t{y} * frame.width]);
        }
        const uint64_t plainBytes = plainTable.Bytes();
        const uint64_t transparentBytes = transparentTable.Bytes();
        const uint64_t chosenBytes = chooser.table.Bytes();
        if (plainBytes <= transparentBytes && plainBytes <= chosenBytes) return PixelWay::Plain;
        if (transparentBytes <= chosenBytes) {
            *bits = transparentBits;
            return PixelWay::Transparent;
        }
        const uint8_t highest = *std::max_element(chosen.begin(), chosen.end());
        *bits = GifIndexBits(std::max<uint32_t>(free, highest));
        return PixelWay::Chosen;
    }

    bool PutControl(const GifPlannedFrame& frame, bool transparent) {
        GraphicsControlBlock control{};
        control.DisposalMode = DisposalMode(frame.disposal);
        control.UserInputFlag = false;
        control.DelayTime = animation.delay;
        control.TransparentColor = transparent ? *frame.transparent : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                                extension) == GIF_OK;
    }

    bool PutFrame(uint32_t index) {
        const GifPlannedFrame& frame = plan.frames[index];
        plainRow.resize(frame.width);
        transparentRow.resize(frame.width);
        limitedRow.resize(frame.width);
        uint32_t bits = colourBits;
        const PixelWay way = Choose(index, frame, &bits);
        const bool transparent = way != PixelWay::Plain || frame.needsTransparent;
        // giflib takes an image's code size from the screen's colour map, whose bits were
        // written with the screen: giving the map each image's own bits changes nothing else.
        gif->SColorMap->BitsPerPixel = static_cast<int>(bits);
        const bool begun = PutControl(frame, transparent) &&
                           EGifPutImageDesc(gif, frame.left, frame.top, frame.width,
                                            frame.height, false, nullptr) == GIF_OK;
        gif->SColorMap->BitsPerPixel = static_cast<int>(colourBits);
        if (!begun) return false;
        const uint8_t free = frame.transparent.value_or(0);
        for (uint32_t y = 0; y < frame.height; ++y) {
            uint8_t* row = nullptr;
            if (way == PixelWay::Chosen) {
                row = chosen.data() + size_t{y} * frame.width;
            } else {
                Rows(index, frame, frame.top + y, free);
                row = way == PixelWay::Plain ? plainRow.data() : transparentRow.data();
            }
            if (EGifPutLine(gif, row, frame.width) != GIF_OK) return false;
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
