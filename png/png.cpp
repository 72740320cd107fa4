// PNG output through libpng, errors turned into a result instead of a longjmp out of the caller.
// The figure is drawn in flat colours, so a frame nearly always has few enough of them for an
// indexed PNG: lossless, smaller, and read by ImageMagick without a costly colour reduction.
#include "png/png.hpp"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace lumenweave::png {

namespace {

// libpng reports errors by longjmp; the message is kept for the caller.
void onError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    *error = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

constexpr size_t maxPalette = 256;

// The frame's colours and each pixel's index into them; false when there are more than 256.
bool indexColours(const std::vector<uint8_t>& rgb, std::vector<png_color>& palette,
                  std::vector<uint8_t>& indices) {
    std::unordered_map<uint32_t, uint8_t> index;
    indices.resize(rgb.size() / 3);
    uint32_t previous = 0xffffffffu;
    uint8_t previousIndex = 0;
    for (size_t p = 0; p < indices.size(); ++p) {
        const uint8_t* c = &rgb[p * 3];
        const uint32_t key = (uint32_t{c[0]} << 16) | (uint32_t{c[1]} << 8) | c[2];
        if (key != previous) {
            auto found = index.find(key);
            if (found == index.end()) {
                if (palette.size() == maxPalette)
                    return false;
                found = index.emplace(key, static_cast<uint8_t>(palette.size())).first;
                palette.push_back({c[0], c[1], c[2]});
            }
            previous = key;
            previousIndex = found->second;
        }
        indices[p] = previousIndex;
    }
    return true;
}

// A picture ready for libpng: indexed through a palette, or plain RGB.
struct Encoding {
    int width, height;
    std::vector<png_color> palette;  // empty: RGB
    std::vector<uint8_t> indices;
    const std::vector<uint8_t>* rgb;
};

void encode(png_structp png, png_infop info, FILE* file, const Encoding& e) {
    const bool indexed = !e.palette.empty();
    const std::vector<uint8_t>& rows = indexed ? e.indices : *e.rgb;
    const size_t rowBytes = static_cast<size_t>(e.width) * (indexed ? 1 : 3);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(e.width), static_cast<png_uint_32>(e.height),
                 8, indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed)
        png_set_PLTE(png, info, e.palette.data(), static_cast<int>(e.palette.size()));
    png_write_info(png, info);
    for (int y = 0; y < e.height; ++y) {
        png_write_row(png, &rows[static_cast<size_t>(y) * rowBytes]);
    }
    png_write_end(png, nullptr);
}

bool writeTo(FILE* file, const Encoding& e, std::string& error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
    if (png == nullptr) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        if (info == nullptr)
            error = "out of memory";
        png_destroy_write_struct(&png, &info);
        return false;
    }
    encode(png, info, file, e);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    Encoding e{width, height, {}, {}, &rgb};
    if (!indexColours(rgb, e.palette, e.indices))
        e.palette.clear();
    bool ok = writeTo(file, e, error);
    if (std::fflush(file) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok)
        std::remove(path.c_str());
    return ok;
}

}  // namespace lumenweave::png
