#include "archive/room_offset_table.h"

#include <array>

#include "archive/resource_file.h"
#include "common/allocation.h"
#include "common/byte_view.h"

namespace {

constexpr size_t kRoomSlots = 256;
constexpr size_t kEntryLength = 5;  // room number byte, then its 32-bit offset

}  // namespace

bool RoomOffsetTable::ReadLoff(ResourceFile& file) {
    if (!file.ReadExact(&roomCount, 1)) return false;
    // Unlisted rooms stay 0 and unmarked, so a lookup can tell them apart.
    roomOffsets.clear();
    listed.reset();
    if (!TryResize(roomOffsets, kRoomSlots)) return false;
    // At most 255 entries: one read of the whole list into a fixed buffer.
    std::array<uint8_t, 255 * kEntryLength> entries;
    const uint32_t length = static_cast<uint32_t>(roomCount * kEntryLength);
    if (!file.ReadExact(entries.data(), length)) return false;
    const ByteView view{entries.data(), length};
    for (size_t i = 0; i < roomCount; ++i) {
        uint8_t room = 0;
        uint32_t offset = 0;
        view.ReadU8(i * kEntryLength, &room);
        view.ReadU32LE(i * kEntryLength + 1, &offset);
        roomOffsets[room] = offset;  // a room listed twice keeps the later offset
        listed.set(room);
    }
    return true;
}
