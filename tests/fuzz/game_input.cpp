#include "game_input.h"

#include <cstring>

namespace {

constexpr char kMarker[] = "@LA";
constexpr size_t kMarkerLength = 3;

// Where the next marker followed by a digit place begins, or `size`.
size_t FindMarker(const uint8_t* data, size_t from, size_t size) {
    for (size_t at = from; at + kMarkerLength < size; ++at) {
        if (std::memcmp(data + at, kMarker, kMarkerLength) == 0) return at;
    }
    return size;
}

bool HoldsMarker(const std::vector<uint8_t>& bytes) {
    return FindMarker(bytes.data(), 0, bytes.size()) != bytes.size();
}

}  // namespace

GameInput SplitGameInput(const uint8_t* data, size_t size) {
    GameInput input;
    int slot = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = FindMarker(data, start, size);
        if (slot >= 0) {
            input.slots[slot] = ByteView{data + start, end - start};
            input.present[slot] = true;
        }
        if (end == size) return input;
        const uint8_t digit = data[end + kMarkerLength];
        slot = digit >= '1' && digit <= '9' ? digit - '0' : -1;
        start = end + kMarkerLength + 1;
    }
}

std::vector<uint8_t> JoinGameInput(const GameFiles& files) {
    if (HoldsMarker(files.index)) return {};
    std::vector<uint8_t> joined = files.index;
    for (int disk = 1; disk < 10; ++disk) {
        if (files.disks[disk].empty()) continue;
        if (HoldsMarker(files.disks[disk])) return {};
        joined.insert(joined.end(), kMarker, kMarker + kMarkerLength);
        joined.push_back(static_cast<uint8_t>('0' + disk));
        joined.insert(joined.end(), files.disks[disk].begin(), files.disks[disk].end());
    }
    return joined;
}
