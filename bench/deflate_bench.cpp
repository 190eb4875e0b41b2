// zlib's levels and strategies on the pictures `duzuroro-cli export` writes: every frame of
// the demo game as PNG rows (a filter byte of 0, then the pixel indices). The exporter's
// setting is chosen from these: time against the old level 6, and the bytes it writes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <vector>

#include "demo/demo_costumes.h"

namespace {

// The IDAT payload of each frame before compression.
std::vector<std::vector<uint8_t>> DemoRows() {
    std::vector<std::vector<uint8_t>> pictures;
    for (const DemoCostume& costume : DesignDemoCostumes()) {
        for (const CostumeFrame& frame : costume.design.frames) {
            std::vector<uint8_t> rows;
            for (size_t y = 0; y < frame.height; ++y) {
                const uint8_t* row = frame.pixels.data() + y * frame.width;
                rows.push_back(0);
                rows.insert(rows.end(), row, row + frame.width);
            }
            pictures.push_back(std::move(rows));
        }
    }
    return pictures;
}

void BM_Deflate(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    const int strategy = static_cast<int>(state.range(1));
    const int windowBits = static_cast<int>(state.range(2));
    const int memLevel = static_cast<int>(state.range(3));
    const std::vector<std::vector<uint8_t>> pictures = DemoRows();
    std::vector<uint8_t> out(1 << 20);
    size_t written = 0;
    for (auto _ : state) {
        written = 0;
        for (const std::vector<uint8_t>& rows : pictures) {
            z_stream stream{};
            deflateInit2(&stream, level, Z_DEFLATED, windowBits, memLevel, strategy);
            stream.next_in = const_cast<Bytef*>(rows.data());
            stream.avail_in = static_cast<uInt>(rows.size());
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, Z_FINISH);
            written += stream.total_out;
            deflateEnd(&stream);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["frames"] = static_cast<double>(pictures.size());
    state.counters["bytes"] = static_cast<double>(written);
    // The whole files: signature, IHDR, a 256-entry PLTE, the IDAT chunk's frame and IEND.
    constexpr double kPngFrame = 8 + 25 + (12 + 768) + 12 + 12;
    state.counters["file_bytes"] = static_cast<double>(written) + kPngFrame * static_cast<double>(pictures.size());
}

// libpng's default first, then the exporter's level 4, then the others measured to choose
// it: a smaller window or hash table saves nothing on these frames, and Z_RLE or level 3 and
// below write a fifth to a half more bytes.
BENCHMARK(BM_Deflate)
    ->ArgNames({"level", "strategy", "window", "mem"})
    ->Args({6, Z_DEFAULT_STRATEGY, 15, 8})
    ->Args({4, Z_DEFAULT_STRATEGY, 15, 8})
    ->Args({6, Z_DEFAULT_STRATEGY, 13, 5})
    ->Args({3, Z_DEFAULT_STRATEGY, 15, 8})
    ->Args({1, Z_DEFAULT_STRATEGY, 15, 8})
    ->Args({6, Z_FILTERED, 15, 8})
    ->Args({6, Z_RLE, 15, 8});

}  // namespace
