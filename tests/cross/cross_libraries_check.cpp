// The cross builds' own zlib, libpng, giflib and nettle, proved on the target: a small
// picture is encoded as PNG and as GIF in memory, decoded back and compared with what went
// in, and each file cut short must fail cleanly (libpng leaves through longjmp, which every
// target does its own way); SHA-256 must give the published digests. Prints the libraries'
// versions as JSON, through the header-only libraries' copies; exits 0 when every check passes.
#include <gif_lib.h>
#include <nettle/sha2.h>
#include <nettle/version.h>
#include <png.h>
#include <zlib.h>
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 5;
constexpr int kHeight = 3;
constexpr int kColours = 4;

bool Fail(const char* what) {
    std::fprintf(stderr, "cross-libraries-check: %s\n", what);
    return false;
}

// RGBA, every pixel different, with some translucency.
std::vector<unsigned char> RgbaPicture() {
    std::vector<unsigned char> pixels;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            for (int value : {x * 50, y * 120, (x + y) * 30, 255 - x * 40}) {
                pixels.push_back(static_cast<unsigned char>(value));
            }
        }
    }
    return pixels;
}

bool DecodePng(const std::vector<unsigned char>& file, std::vector<unsigned char>* pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    pixels->assign(PNG_IMAGE_SIZE(image), 0);
    const bool read = png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read && image.width == kWidth && image.height == kHeight;
}

bool CheckPng() {
    const std::vector<unsigned char> pixels = RgbaPicture();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) {
        return Fail(image.message);
    }
    std::vector<unsigned char> file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr)) {
        return Fail(image.message);
    }
    file.resize(size);
    std::vector<unsigned char> decoded;
    if (!DecodePng(file, &decoded) || decoded != pixels) {
        return Fail("the PNG did not decode to the picture encoded");
    }
    // Cut into the picture's data: the decoder must refuse it, not crash or hang.
    file.resize(file.size() - 20);
    if (DecodePng(file, &decoded)) {
        return Fail("a PNG cut short decoded without an error");
    }
    return true;
}

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<GifByteType>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct GifSource {
    const std::vector<GifByteType>* bytes;
    size_t at;
};

int ReadFromVector(GifFileType* gif, GifByteType* data, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const size_t count = std::min(static_cast<size_t>(length), source->bytes->size() - source->at);
    std::memcpy(data, source->bytes->data() + source->at, count);
    source->at += count;
    return static_cast<int>(count);
}

// Decodes one picture: its colour indices and its palette's first kColours colours.
bool DecodeGif(const std::vector<GifByteType>& file, std::vector<GifPixelType>* indices,
               std::vector<GifColorType>* colours) {
    GifSource source{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromVector, &error);
    if (gif == nullptr) {
        return false;
    }
    bool read = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SWidth == kWidth &&
                gif->SHeight == kHeight && gif->SColorMap != nullptr &&
                gif->SColorMap->ColorCount >= kColours;
    if (read) {
        const SavedImage& image = gif->SavedImages[0];
        indices->assign(image.RasterBits, image.RasterBits + kWidth * kHeight);
        colours->assign(gif->SColorMap->Colors, gif->SColorMap->Colors + kColours);
    }
    DGifCloseFile(gif, &error);
    return read;
}

bool SameColours(const std::vector<GifColorType>& a, const GifColorType* b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].Red != b[i].Red || a[i].Green != b[i].Green || a[i].Blue != b[i].Blue) {
            return false;
        }
    }
    return true;
}

bool CheckGif() {
    const GifColorType palette[kColours] = {{0, 0, 0}, {255, 0, 0}, {0, 200, 0}, {10, 20, 250}};
    std::vector<GifPixelType> indices;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        indices.push_back(static_cast<GifPixelType>((i * 3 + i / kWidth) % kColours));
    }
    std::vector<GifByteType> file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, WriteToVector, &error);
    if (gif == nullptr) {
        return Fail(GifErrorString(error));
    }
    ColorMapObject* map = GifMakeMapObject(kColours, palette);
    bool written = map != nullptr && EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map) == GIF_OK &&
                   EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
    for (int y = 0; written && y < kHeight; ++y) {
        written = EGifPutLine(gif, indices.data() + y * kWidth, kWidth) == GIF_OK;
    }
    written = EGifCloseFile(gif, &error) == GIF_OK && written;
    GifFreeMapObject(map);
    if (!written) {
        return Fail("giflib could not encode the picture");
    }
    std::vector<GifPixelType> decoded;
    std::vector<GifColorType> colours;
    if (!DecodeGif(file, &decoded, &colours) || decoded != indices ||
        !SameColours(colours, palette)) {
        return Fail("the GIF did not decode to the picture encoded");
    }
    file.resize(file.size() - 8);
    if (DecodeGif(file, &decoded, &colours)) {
        return Fail("a GIF cut short decoded without an error");
    }
    return true;
}

std::string Hex(const uint8_t* bytes, size_t size) {
    std::string hex;
    for (size_t i = 0; i < size; ++i) {
        hex += "0123456789abcdef"[bytes[i] >> 4];
        hex += "0123456789abcdef"[bytes[i] & 15];
    }
    return hex;
}

// The published digests, fed in pieces of every size so that blocks are filled across calls
// and the padding falls in the last block or spills into one more.
bool CheckSha256() {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& test : cases) {
        for (size_t piece : {size_t{1}, size_t{63}, size_t{64}, size_t{1000}}) {
            sha256_ctx context;
            sha256_init(&context);
            const auto* bytes = reinterpret_cast<const uint8_t*>(test.message.data());
            for (size_t at = 0; at < test.message.size(); at += piece) {
                sha256_update(&context, std::min(piece, test.message.size() - at), bytes + at);
            }
            uint8_t digest[SHA256_DIGEST_SIZE];
            sha256_digest(&context, sizeof digest, digest);
            if (Hex(digest, sizeof digest) != test.digest) {
                return Fail(("SHA-256 of a message of " + std::to_string(test.message.size()) +
                             " bytes is not the published digest").c_str());
            }
        }
    }
    return true;
}

// The library found at link time must be the one whose headers were compiled against.
bool CheckVersions() {
    if (std::strcmp(zlibVersion(), ZLIB_VERSION) != 0) {
        return Fail("zlib's library and headers differ in version");
    }
    if (png_access_version_number() != PNG_LIBPNG_VER) {
        return Fail("libpng's library and headers differ in version");
    }
    if (nettle_version_major() != NETTLE_VERSION_MAJOR ||
        nettle_version_minor() != NETTLE_VERSION_MINOR) {
        return Fail("nettle's library and headers differ in version");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks the cross builds' zlib, libpng, giflib and nettle on this target."};
    CLI11_PARSE(app, argc, argv);
    if (!CheckVersions() || !CheckPng() || !CheckGif() || !CheckSha256()) {
        return 1;
    }
    const nlohmann::json versions = {
        {"zlib", zlibVersion()},
        {"libpng", png_get_libpng_ver(nullptr)},
        {"giflib", std::to_string(GIFLIB_MAJOR) + "." + std::to_string(GIFLIB_MINOR) + "." +
                       std::to_string(GIFLIB_RELEASE)},
        {"nettle", std::to_string(nettle_version_major()) + "." +
                       std::to_string(nettle_version_minor())},
        {"debian", DUZURORO_CROSS_VERSIONS}};
    std::printf("%s\nPNG and GIF round trips and SHA-256 passed\n", versions.dump().c_str());
    return 0;
}
