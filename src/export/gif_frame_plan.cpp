#include "export/gif_frame_plan.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <limits>

#include "export/gif_canvas.h"

namespace {

// A rectangle grown pixel by pixel; `right` and `bottom` are exclusive.
struct Box {
    uint32_t left = std::numeric_limits<uint32_t>::max();
    uint32_t top = std::numeric_limits<uint32_t>::max();
    uint32_t right = 0;
    uint32_t bottom = 0;

    bool Empty() const { return right == 0; }
    uint64_t Area() const { return Empty() ? 0 : uint64_t{right - left} * (bottom - top); }
    bool Holds(uint32_t x, uint32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    void Add(uint32_t x, uint32_t y) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
    }
    void Add(const Box& other) {
        if (other.Empty()) return;
        Add(other.left, other.top);
        Add(other.right - 1, other.bottom - 1);
    }
};

Box BoxOf(const GifPlannedFrame& frame) {
    Box box;
    if (frame.width == 0 || frame.height == 0) return box;
    box.Add(frame.left, frame.top);
    box.Add(frame.left + frame.width - 1u, frame.top + frame.height - 1u);
    return box;
}

// A frame that changes nothing still needs a pixel: GIF has no empty image.
void Place(const Box& box, const GifFrameSource& source, GifPlannedFrame* frame) {
    if (source.width == 0 || source.height == 0) return;
    if (box.Empty()) {
        frame->left = frame->top = 0;
        frame->width = frame->height = 1;
        return;
    }
    frame->left = static_cast<uint16_t>(box.left);
    frame->top = static_cast<uint16_t>(box.top);
    frame->width = static_cast<uint16_t>(box.right - box.left);
    frame->height = static_cast<uint16_t>(box.bottom - box.top);
}

// Where each way of disposing of the previous frame leaves the next one to draw.
struct Option {
    Box changes;
    uint64_t changed = 0;  // pixels that differ
    bool possible = true;  // false when a pixel would have to turn clear by drawing
};

// What a way of disposing costs the next frame: its rectangle, and more for each pixel
// that changes, as unchanged pixels inside it compress to almost nothing.
uint64_t Cost(const Option& option) {
    constexpr uint64_t kChangedPixel = 2;
    return option.changes.Area() + kChangedPixel * option.changed;
}

// The pixels of one row that differ: how many, and the first and last.
struct Span {
    uint32_t first = 0, last = 0, count = 0;

    void Note(uint32_t x) {
        if (count++ == 0) first = x;
        last = x;
    }
    void AddTo(uint32_t y, Option* option) const {
        if (count == 0) return;
        option->changes.Add(first, y);
        option->changes.Add(last, y);
        option->changed += count;
    }
};

struct Options {
    Option keep, clear, restore;
    Box mustClear;  // pixels turning clear that lie outside the previous rectangle
};

// Gives each colour shown a written index, in the order of its first rendered index; a
// colour met again under another index shares the first one's.
uint16_t MapColours(const GifFrameSource& source, GifFramePlan* plan) {
    std::array<bool, 256> used{};
    for (uint32_t frame = 0; frame < source.frameCount; ++frame) {
        for (uint32_t y = 0; y < source.height; ++y) {
            const uint8_t* row = source.rowAt(frame, y);
            for (uint32_t x = 0; x < source.width; ++x) used[row[x]] = true;
        }
    }
    if (source.transparentIndex) used[*source.transparentIndex] = false;
    plan->written.fill(GifFramePlan::kClear);
    uint16_t count = 0;
    for (uint32_t index = 0; index < 256; ++index) {
        if (!used[index]) continue;
        const uint8_t rgb[3] = {
            source.palette ? source.palette[index * 3] : uint8_t{0},
            source.palette ? source.palette[index * 3 + 1] : uint8_t{0},
            source.palette ? source.palette[index * 3 + 2] : uint8_t{0}};
        uint16_t slot = 0;
        while (slot < count &&
               (source.palette == nullptr || !std::equal(rgb, rgb + 3, &plan->colours[slot * 3]))) {
            ++slot;
        }
        if (slot == count) {
            plan->colours.insert(plan->colours.end(), rgb, rgb + 3);
            ++count;
        }
        plan->written[index] = slot;
    }
    return count;
}

struct FrameColours {
    std::bitset<256> changed;  // written indices the rectangle changes to
    std::bitset<256> unchanged;  // written indices its unchanged pixels show
    uint16_t mostUnchanged = GifFramePlan::kClear;  // none: kClear
};

struct Planner {
    const GifFrameSource& source;
    const std::array<uint16_t, 256>& written;
    GifCanvas canvas{source.width, source.height};  // before the previous frame
    std::vector<uint8_t> previousRow = std::vector<uint8_t>(source.width);

    // The changes a frame makes over a canvas still clear.
    Box FirstChanges() {
        Box changes;
        for (uint32_t y = 0; y < source.height; ++y) {
            const uint8_t* row = source.rowAt(0, y);
            for (uint32_t x = 0; x < source.width; ++x) {
                if (written[row[x]] != GifCanvas::kClear) changes.Add(x, y);
            }
        }
        return changes;
    }

    // Compares frame `index` with what each disposal of the frame before would leave;
    // `cleared` is the rectangle a disposal to background would clear.
    Options Compare(uint32_t index, const Box& cleared) {
        Options options;
        for (uint32_t y = 0; y < source.height; ++y) {
            const uint8_t* fetched = source.rowAt(index - 1, y);
            std::copy(fetched, fetched + source.width, previousRow.begin());
            const uint8_t* next = source.rowAt(index, y);
            const uint16_t* before = canvas.Row(y);
            // The span a disposal to background clears on this row.
            const bool clearsRow = !cleared.Empty() && y >= cleared.top && y < cleared.bottom;
            const uint32_t clearFrom = clearsRow ? cleared.left : 0;
            const uint32_t clearTo = clearsRow ? cleared.right : 0;
            Span keep, restore, clear, mustClear;
            for (uint32_t x = 0; x < source.width; ++x) {
                const uint16_t shown = written[next[x]];
                const uint16_t kept = written[previousRow[x]];
                const bool isClear = shown == GifCanvas::kClear;
                if (shown != kept) {
                    keep.Note(x);
                    if (isClear) options.keep.possible = false;
                }
                if (shown != before[x]) {
                    restore.Note(x);
                    if (isClear) options.restore.possible = false;
                }
                const uint16_t left = x >= clearFrom && x < clearTo ? GifCanvas::kClear : kept;
                if (shown == left) continue;
                (isClear ? mustClear : clear).Note(x);
            }
            keep.AddTo(y, &options.keep);
            restore.AddTo(y, &options.restore);
            clear.AddTo(y, &options.clear);
            if (mustClear.count > 0) {
                options.mustClear.Add(mustClear.first, y);
                options.mustClear.Add(mustClear.last, y);
            }
        }
        return options;
    }

    // Which colours frame `index` changes within its rectangle, and the one its unchanged
    // pixels show most, for the choice of its transparent index once indices are final.
    void Scan(uint32_t index, GifPlannedFrame* frame, FrameColours* colours) {
        std::array<uint32_t, 256> unchanged{};
        for (uint32_t y = frame->top; y < uint32_t{frame->top} + frame->height; ++y) {
            const uint8_t* row = source.rowAt(index, y);
            const uint16_t* before = canvas.Row(y);
            for (uint32_t x = frame->left; x < uint32_t{frame->left} + frame->width; ++x) {
                const uint16_t shown = written[row[x]];
                if (shown == GifCanvas::kClear) {
                    frame->needsTransparent = true;
                } else if (shown != before[x]) {
                    colours->changed.set(shown);
                } else {
                    ++unchanged[shown];
                    colours->unchanged.set(shown);
                }
            }
        }
        uint32_t most = 0;
        for (uint32_t i = 0; i < 256; ++i) {
            if (!colours->changed.test(i) && unchanged[i] > most) {
                most = unchanged[i];
                colours->mostUnchanged = static_cast<uint16_t>(i);
            }
        }
    }
};

// Orders the colours by the number of frames that change pixels to them, most first, so
// that a frame of the common colours fits a narrower code (the writer gives each image the
// fewest bits its indices need).
void Renumber(uint16_t colours, std::vector<FrameColours>* scanned, GifFramePlan* plan) {
    std::vector<uint32_t> frames(colours, 0);
    for (const FrameColours& frame : *scanned) {
        for (uint32_t i = 0; i < colours; ++i) frames[i] += frame.changed.test(i) ? 1u : 0u;
    }
    std::vector<uint16_t> order(colours);
    for (uint16_t i = 0; i < colours; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](uint16_t a, uint16_t b) { return frames[a] > frames[b]; });
    std::array<uint16_t, 256> renumbered{};
    for (uint32_t i = 0; i < 256; ++i) renumbered[i] = static_cast<uint16_t>(i);
    std::vector<uint8_t> table(plan->colours.size());
    for (uint16_t i = 0; i < colours; ++i) {
        renumbered[order[i]] = i;
        std::copy_n(&plan->colours[size_t{order[i]} * 3], 3, &table[size_t{i} * 3]);
    }
    plan->colours = table;
    for (uint16_t& index : plan->written) {
        if (index != GifFramePlan::kClear) index = renumbered[index];
    }
    for (FrameColours& frame : *scanned) {
        std::bitset<256> changed, unchanged;
        for (uint32_t i = 0; i < colours; ++i) {
            if (frame.changed.test(i)) changed.set(renumbered[i]);
            if (frame.unchanged.test(i)) unchanged.set(renumbered[i]);
        }
        frame.changed = changed;
        frame.unchanged = unchanged;
        if (frame.mostUnchanged != GifFramePlan::kClear) {
            frame.mostUnchanged = renumbered[frame.mostUnchanged];
        }
    }
}

// The frame's transparent index: free of its changes, and no wider than they need. The
// colour its unchanged pixels show most is best, as either way of writing them is then one
// symbol for the encoder; else the lowest free index.
void ChooseTransparent(const FrameColours& colours, GifPlannedFrame* frame) {
    uint32_t highest = 0, highestShown = 0;
    for (uint32_t i = 0; i < 256; ++i) {
        if (colours.changed.test(i)) highest = i;
        if (colours.changed.test(i) || colours.unchanged.test(i)) highestShown = i;
    }
    frame->highestChanged = static_cast<uint8_t>(highest);
    frame->highestShown = static_cast<uint8_t>(highestShown);
    uint32_t lowest = 0;
    while (lowest < 256 && colours.changed.test(lowest)) ++lowest;
    if (lowest == 256) return;
    uint32_t chosen = lowest;
    const uint32_t most = colours.mostUnchanged;
    if (most != GifFramePlan::kClear &&
        GifIndexBits(std::max(highest, most)) <= GifIndexBits(std::max(highest, lowest))) {
        chosen = most;
    }
    frame->transparent = static_cast<uint8_t>(chosen);
    // Some unchanged pixel shows a colour other than the transparent index.
    frame->substitutable = colours.unchanged.count() > (colours.unchanged.test(chosen) ? 1u : 0u);
}

uint16_t PowerOfTwoAbove(int highest) {
    uint16_t count = 2;
    while (count <= highest) count = static_cast<uint16_t>(count * 2);
    return count;
}

}  // namespace

GifFramePlan PlanGifFrames(const GifFrameSource& source) {
    GifFramePlan plan;
    if (source.frameCount == 0) return plan;
    plan.frames.resize(source.frameCount);
    const uint16_t colours = MapColours(source, &plan);
    Planner planner{source, plan.written};
    std::vector<FrameColours> scanned(source.frameCount);
    Place(planner.FirstChanges(), source, &plan.frames[0]);
    for (uint32_t i = 1; i < source.frameCount; ++i) {
        GifPlannedFrame& previous = plan.frames[i - 1];
        const Box drawn = BoxOf(previous);
        Options options = planner.Compare(i, drawn);
        // Pixels turning clear outside the previous rectangle widen the rectangle cleared.
        Box cleared = drawn;
        if (!options.mustClear.Empty()) {
            cleared.Add(options.mustClear);
            options.clear = planner.Compare(i, cleared).clear;
        }
        const uint64_t never = std::numeric_limits<uint64_t>::max();
        const uint64_t keepCost = options.keep.possible ? Cost(options.keep) : never;
        const uint64_t restoreCost = options.restore.possible ? Cost(options.restore) : never;
        const uint64_t clearCost = Cost(options.clear) + (cleared.Area() - drawn.Area());
        const Box* changes = &options.keep.changes;
        if (keepCost <= restoreCost && keepCost <= clearCost) {
            previous.disposal = GifDisposal::Keep;
        } else if (restoreCost <= clearCost) {
            previous.disposal = GifDisposal::Restore;
            changes = &options.restore.changes;
        } else {
            previous.disposal = GifDisposal::Clear;
            Place(cleared, source, &previous);
            changes = &options.clear.changes;
        }
        planner.Scan(i - 1, &previous, &scanned[i - 1]);
        planner.canvas.PassFrame(source, i - 1, previous, plan.written);
        Place(*changes, source, &plan.frames[i]);
    }
    planner.Scan(source.frameCount - 1, &plan.frames.back(), &scanned.back());
    Renumber(colours, &scanned, &plan);
    for (size_t i = 0; i < plan.frames.size(); ++i) ChooseTransparent(scanned[i], &plan.frames[i]);

    int highest = colours - 1;
    for (const GifPlannedFrame& frame : plan.frames) {
        if (frame.needsTransparent) highest = std::max<int>(highest, *frame.transparent);
    }
    plan.colourCount = PowerOfTwoAbove(highest);
    plan.colours.resize(size_t{plan.colourCount} * 3);
    for (GifPlannedFrame& frame : plan.frames) {
        if (frame.transparent && *frame.transparent >= plan.colourCount) {
            frame.transparent.reset();
            frame.substitutable = false;
        }
    }
    return plan;
}

uint32_t GifIndexBits(uint32_t highest) {
    uint32_t bits = 1;
    while ((1u << bits) <= highest) ++bits;
    return bits;
}
