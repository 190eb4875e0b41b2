#include "export/gif_frame_plan.h"

#include <algorithm>
#include <array>
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
    bool possible = true;  // false when a pixel would have to turn clear by drawing
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
            for (uint32_t x = 0; x < source.width; ++x) {
                const uint16_t shown = written[next[x]];
                const uint16_t kept = written[previousRow[x]];
                if (shown != kept) {
                    options.keep.changes.Add(x, y);
                    if (shown == GifCanvas::kClear) options.keep.possible = false;
                }
                if (shown != before[x]) {
                    options.restore.changes.Add(x, y);
                    if (shown == GifCanvas::kClear) options.restore.possible = false;
                }
                const uint16_t left = cleared.Holds(x, y) ? GifCanvas::kClear : kept;
                if (shown == left) continue;
                if (shown == GifCanvas::kClear) {
                    options.mustClear.Add(x, y);
                } else {
                    options.clear.changes.Add(x, y);
                }
            }
        }
        return options;
    }

    // Sets what the frame's transparent index is for, and picks the lowest free one.
    void ChooseTransparent(uint32_t index, GifPlannedFrame* frame) {
        std::array<bool, 256> changed{};
        for (uint32_t y = frame->top; y < uint32_t{frame->top} + frame->height; ++y) {
            const uint8_t* row = source.rowAt(index, y);
            const uint16_t* before = canvas.Row(y);
            for (uint32_t x = frame->left; x < uint32_t{frame->left} + frame->width; ++x) {
                const uint16_t shown = written[row[x]];
                if (shown == GifCanvas::kClear) {
                    frame->needsTransparent = true;
                } else if (shown != before[x]) {
                    changed[shown] = true;
                }
            }
        }
        const auto free = std::find(changed.begin(), changed.end(), false);
        if (free != changed.end()) frame->transparent = static_cast<uint8_t>(free - changed.begin());
    }
};

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
        const uint64_t keepCost = options.keep.possible ? options.keep.changes.Area() : never;
        const uint64_t restoreCost =
            options.restore.possible ? options.restore.changes.Area() : never;
        const uint64_t clearCost =
            options.clear.changes.Area() + (cleared.Area() - drawn.Area());
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
        planner.ChooseTransparent(i - 1, &previous);
        planner.canvas.PassFrame(source, i - 1, previous, plan.written);
        Place(*changes, source, &plan.frames[i]);
    }
    planner.ChooseTransparent(source.frameCount - 1, &plan.frames.back());

    int highest = colours - 1;
    for (const GifPlannedFrame& frame : plan.frames) {
        if (frame.needsTransparent) highest = std::max<int>(highest, *frame.transparent);
    }
    plan.colourCount = PowerOfTwoAbove(highest);
    plan.colours.resize(size_t{plan.colourCount} * 3);
    for (GifPlannedFrame& frame : plan.frames) {
        if (frame.transparent && *frame.transparent >= plan.colourCount) frame.transparent.reset();
    }
    return plan;
}
