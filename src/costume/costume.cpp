#include "costume/costume.h"

#include <algorithm>
#include <iterator>

#include "common/block_header.h"
#include "common/report_error.h"
#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"

namespace {

// The VEHD fields that this program reads end at byte 10 of the payload.
constexpr size_t kHeaderLength = 10;
constexpr size_t kFrameCountOffset = 6;
constexpr size_t kCodecOffset = 8;
constexpr size_t kFrameEntryLength = 6;
constexpr size_t kSizeRecordLength = 4;

uint16_t ReadU16Or0(ByteView bytes, size_t offset) {
    uint16_t value = 0;
    return bytes.ReadU16LE(offset, &value) ? value : 0;
}

}  // namespace

bool Costume::Parse() {
    BlockHeader header;
    if (!header.Read(block, 0) || !header.Is("VERM")) {
        ReportError("Invalid VERM block header.");
        return false;
    }
    // The block is what its header says; bytes beyond that belong to nobody.
    if (header.size < block.size) block.size = header.size;

    struct Field {
        const char (&tag)[5];
        ByteView* payload;
    };
    const Field fields[] = {{"VEHD", &vehd}, {"VEPL", &vepl}, {"RGBS", &rgbs}, {"VESQ", &vesq},
                            {"VECH", &vech}, {"VEOF", &veof}, {"VECI", &veci}, {"VECD", &vecd}};

    size_t offset = BlockHeader::kLength;
    while (offset < header.size) {
        BlockHeader sub;
        if (!sub.Read(block, offset)) {
            ReportError("Invalid block found in VERM.");
            return false;
        }
        const Field* field = std::find_if(std::begin(fields), std::end(fields),
                                          [&](const Field& f) { return sub.Is(f.tag); });
        if (field == std::end(fields)) {
            ReportError("Unknown block found in VERM.");
            return false;
        }
        if (sub.size < BlockHeader::kLength ||
            !block.Sub(offset + BlockHeader::kLength, sub.size - BlockHeader::kLength,
                       field->payload)) {
            ReportError("Invalid block found in VERM.");
            return false;
        }
        if (field->payload == &vepl) colourCount = sub.size - BlockHeader::kLength;
        offset += sub.size;
    }

    if (vehd.data == nullptr || vehd.size < kHeaderLength) {
        ReportError("Invalid VERM block header.");
        return false;
    }
    return true;
}

uint16_t Costume::FrameCount() const {
    return ReadU16Or0(vehd, kFrameCountOffset);
}

uint16_t Costume::Codec() const {
    return ReadU16Or0(vehd, kCodecOffset);
}

uint16_t Costume::FrameWidth() const {
    return ReadU16Or0(frameInfo, 0);
}

uint16_t Costume::FrameHeight() const {
    return ReadU16Or0(frameInfo, 2);
}

bool Costume::SelectFrame(uint16_t frame) {
    if (frame == 0) {
        ReportError("Attempted to load frame 0.");
        return false;
    }
    if (frame > FrameCount()) {
        ReportError("Attempted to load non-existent frame.");
        return false;
    }
    // A missing sub-block is an empty view, so every test below also refuses it.
    uint32_t dataOffset = 0;
    uint16_t infoOffset = 0;
    ByteView info;
    const size_t entry = (static_cast<size_t>(frame) - 1) * kFrameEntryLength;
    if (!veof.ReadU32LE(entry, &dataOffset) || !veof.ReadU16LE(entry + 4, &infoOffset) ||
        !veci.Sub(infoOffset, kSizeRecordLength, &info) || vecd.data == nullptr ||
        dataOffset > vecd.size) {
        ReportError("Invalid frame.");
        return false;
    }
    // The data has no length of its own: a decoder may read on to the end of the block.
    frameData = block.From(static_cast<size_t>(vecd.data - block.data) + dataOffset);
    frameInfo = info;
    currentFrame = frame;
    return true;
}

void Costume::DecodeFrameWithCodec1(uint8_t* pixels, ShownArea shown) const {
    DecodeCodec1(frameData, colourCount, FrameWidth(), FrameHeight(), pixels, shown);
}

void Costume::DecodeFrameWithCodec5(uint8_t* pixels, ShownArea shown) const {
    DecodeCodec5(frameData, FrameWidth(), FrameHeight(), pixels, shown);
}

void Costume::DecodeFrameWithCodec16(uint8_t* pixels, ShownArea shown) const {
    DecodeCodec16(frameData, FrameWidth(), FrameHeight(), pixels, shown);
}
