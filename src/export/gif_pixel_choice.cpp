#include "export/gif_pixel_choice.h"

#include <cstddef>

void GifPixelChooser::Search(const Row& row, uint32_t code, uint32_t x, uint32_t length) {
    bool wentOn = false;
    if (x < row.width && budget_ > 0) {
        --budget_;
        // Transparent first: of two strings as long, the one of unchanged pixels is the one
        // later frames meet again.
        const uint8_t options[2] = {row.transparent, row.plain[x]};
        for (int i = row.Either(x) ? 0 : 1; i < 2; ++i) {
            const int32_t child = table.Find(code, options[i]);
            if (child < 0) continue;
            wentOn = true;
            path_[length] = options[i];
            pathCodes_[length] = child;
            Search(row, static_cast<uint32_t>(child), x + 1, length + 1);
        }
    }
    // Only where a way ends is it kept, so that a long way is copied once.
    if (!wentOn && length > bestLength_) {
        bestLength_ = length;
        const auto end = static_cast<std::ptrdiff_t>(length);
        best_.assign(path_.begin(), path_.begin() + end);
        bestCodes_.assign(pathCodes_.begin(), pathCodes_.begin() + end);
    }
}

uint32_t GifPixelChooser::ReachFrom(const Row& row, uint8_t first, uint32_t x) {
    bestLength_ = 0;
    budget_ = kSearchBudget;
    Search(row, first, x + 1, 0);
    return bestLength_;
}

void GifPixelChooser::ChooseRow(const uint8_t* plain, const uint16_t* before, uint32_t width,
                                uint8_t transparent, uint8_t* chosen) {
    const Row row{plain, before, width, transparent};
    if (path_.size() < width) {
        path_.resize(width);
        pathCodes_.resize(width);
    }
    uint32_t x = 0;
    while (x < width) {
        if (!row.Either(x)) {
            // One way only: the encoder's own step.
            chosen[x] = plain[x];
            table.Put(plain[x]);
            ++x;
            continue;
        }
        const int32_t current = table.Current();
        const uint32_t prefix = static_cast<uint32_t>(current);
        const int32_t asTransparent = current < 0 ? -1 : table.Find(prefix, transparent);
        const int32_t asColour = current < 0 ? -1 : table.Find(prefix, plain[x]);
        if ((asTransparent < 0) != (asColour < 0)) {
            // Only one goes on with the string: no need to look further.
            chosen[x] = asTransparent >= 0 ? transparent : plain[x];
            table.GoOn(asTransparent >= 0 ? asTransparent : asColour);
            ++x;
            continue;
        }
        bestLength_ = 0;
        budget_ = kSearchBudget;
        if (asTransparent >= 0) Search(row, prefix, x, 0);
        if (bestLength_ > 0) {
            // The string goes on: as far as the table allows.
            for (uint32_t i = 0; i < bestLength_; ++i) {
                chosen[x + i] = best_[i];
                table.GoOn(bestCodes_[i]);
            }
            x += bestLength_;
            continue;
        }
        // The string ends; the next starts with this pixel, as whichever reaches further.
        // A colour that goes on from its neighbour wins a tie.
        const bool colourNear = (x > 0 && chosen[x - 1] == plain[x]) ||
                                (x + 1 < width && !row.Either(x + 1) && plain[x + 1] == plain[x]);
        const uint32_t reachTransparent = ReachFrom(row, transparent, x);
        const uint32_t reachColour = ReachFrom(row, plain[x], x);
        const bool colour =
            reachColour > reachTransparent || (colourNear && reachColour == reachTransparent);
        const uint8_t first = colour ? plain[x] : transparent;
        chosen[x] = first;
        table.Put(first);
        ++x;
    }
}
