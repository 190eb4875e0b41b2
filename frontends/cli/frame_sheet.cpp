#include "frontends/cli/frame_sheet.h"

#include <algorithm>
#include <cstring>

#include "common/allocation.h"
#include "common/report_error.h"

bool FrameSheet::Add(uint16_t frame, IndexedImage image) {
    const uint64_t newWidth = uint64_t{width} + image.width;
    const uint32_t newHeight = std::max<uint32_t>(height, image.height);
    if (newWidth > kMaxWidth || newWidth * newHeight > kMaxPixels) {
        ReportError("Sheet too large.");
        return false;
    }
    if (frames.empty()) palette = image.palette;
    frames.push_back(Placed{frame, width, std::move(image)});
    width = static_cast<uint32_t>(newWidth);
    height = newHeight;
    return true;
}

bool FrameSheet::Compose(uint8_t background) {
    if (!TryResize(pixels, size_t{width} * height)) return false;
    std::fill(pixels.begin(), pixels.end(), background);
    for (const Placed& placed : frames) {
        const IndexedImage& image = placed.image;
        for (uint32_t row = 0; row < image.height; ++row) {
            std::memcpy(&pixels[size_t{row} * width + placed.x],
                        &image.pixels[size_t{row} * image.width], image.width);
        }
    }
    return true;
}

nlohmann::ordered_json FrameSheet::Layout(uint32_t costume, const std::string& imageName) const {
    nlohmann::ordered_json rectangles = nlohmann::ordered_json::array();
    for (const Placed& placed : frames) {
        rectangles.push_back({{"frame", placed.frame},
                              {"x", placed.x},
                              {"y", 0},
                              {"width", placed.image.width},
                              {"height", placed.image.height}});
    }
    return {{"costume", costume},
            {"image", imageName},
            {"width", width},
            {"height", height},
            {"frames", rectangles}};
}
