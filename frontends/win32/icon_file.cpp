#include "frontends/win32/icon_file.h"

#include <cstddef>

#include "app/program_icon.h"
#include "common/byte_writer.h"

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;

// Bitmap rows are padded to whole 32-bit words.
size_t PixelStride(size_t size) {
    return (size + 3) / 4 * 4;
}
size_t MaskStride(size_t size) {
    return (size + 31) / 32 * 4;
}

size_t ImageBytes(size_t size) {
    return size * (PixelStride(size) + MaskStride(size));
}

// One image: an info header whose height counts the colour rows and the mask rows, the
// 256-entry colour table, the colour indices, then the 1-bit mask; rows bottom-up.
void PutImage(std::vector<uint8_t>* out, const ProgramIcon& icon) {
    const size_t size = icon.size;
    AppendU32LE(*out, kInfoHeaderSize);
    AppendU32LE(*out, icon.size);
    AppendU32LE(*out, 2u * icon.size);
    AppendU16LE(*out, 1);  // planes
    AppendU16LE(*out, 8);  // bits per pixel
    AppendU32LE(*out, 0);  // uncompressed
    AppendU32LE(*out, static_cast<uint32_t>(ImageBytes(size)));
    for (int unused = 0; unused < 4; ++unused) AppendU32LE(*out, 0);  // resolution, colours used
    for (uint32_t i = 0; i < ProgramIcon::kColourCount; ++i) {
        out->push_back(icon.palette[i * 3 + 2]);
        out->push_back(icon.palette[i * 3 + 1]);
        out->push_back(icon.palette[i * 3 + 0]);
        out->push_back(0);
    }
    for (size_t row = size; row-- > 0;) {
        const uint8_t* indices = &icon.pixels[row * size];
        out->insert(out->end(), indices, indices + size);
        out->resize(out->size() + PixelStride(size) - size, 0);
    }
    for (size_t row = size; row-- > 0;) {
        std::vector<uint8_t> mask(MaskStride(size), 0);
        for (size_t column = 0; column < size; ++column) {
            if (icon.pixels[row * size + column] != ProgramIcon::kTransparent) continue;
            mask[column / 8] = static_cast<uint8_t>(mask[column / 8] | (0x80 >> (column % 8)));
        }
        out->insert(out->end(), mask.begin(), mask.end());
    }
}

}  // namespace

std::vector<uint8_t> BuildIconFile() {
    std::vector<ProgramIcon> icons;
    for (uint16_t size : kProgramIconSizes) {
        ProgramIcon icon;
        if (!icon.Draw(size)) return {};
        icons.push_back(std::move(icon));
    }

    std::vector<uint8_t> file;
    AppendU16LE(file, 0);  // reserved
    AppendU16LE(file, 1);  // an icon, not a cursor
    AppendU16LE(file, static_cast<uint16_t>(icons.size()));
    size_t offset = kDirectorySize + kEntrySize * icons.size();
    for (const ProgramIcon& icon : icons) {
        const size_t bytes =
            kInfoHeaderSize + 4 * ProgramIcon::kColourCount + ImageBytes(icon.size);
        file.push_back(static_cast<uint8_t>(icon.size));  // 256 would be written as 0
        file.push_back(static_cast<uint8_t>(icon.size));
        file.push_back(0);  // 256 colours
        file.push_back(0);  // reserved
        AppendU16LE(file, 1);
        AppendU16LE(file, 8);
        AppendU32LE(file, static_cast<uint32_t>(bytes));
        AppendU32LE(file, static_cast<uint32_t>(offset));
        offset += bytes;
    }
    for (const ProgramIcon& icon : icons) PutImage(&file, icon);
    return file;
}
