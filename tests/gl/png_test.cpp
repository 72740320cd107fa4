// The PNG writer (png/): indexed when a picture has at most 256 colours, RGB beyond, and the same
// pixels back either way.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "png/png.hpp"

using namespace lumenweave;

namespace {

struct Decoded {
    int colourType;
    std::vector<uint8_t> rgb;
};

Decoded readBack(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    const int colourType =
        (image.format & PNG_FORMAT_FLAG_COLORMAP) ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    return {colourType, rgb};
}

std::vector<uint8_t> picture(int width, int height, int colours) {
    std::vector<uint8_t> rgb;
    for (int p = 0; p < width * height; ++p) {
        const int c = (p * 7) % colours;
        rgb.insert(rgb.end(), {uint8_t(c), uint8_t(c * 3), uint8_t(255 - c / 2)});
    }
    return rgb;
}

TEST(Png, FewColoursGoThroughAPaletteAndManyAsRgbLosslessly) {
    const std::string path = "/tmp/lumenweave-png-test-" + std::to_string(::getpid()) + ".png";
    for (int colours : {1, 3, 256, 257, 400}) {
        const auto rgb = picture(31, 17, colours);
        std::string error;
        ASSERT_TRUE(png::writePng(path, 31, 17, rgb, error)) << error;
        const Decoded back = readBack(path);
        EXPECT_EQ(back.colourType, colours <= 256 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB)
            << colours << " colours";
        EXPECT_TRUE(back.rgb == rgb) << colours << " colours";
    }
    std::remove(path.c_str());
}

TEST(Png, AFailedWriteReportsWhyAndLeavesNoFile) {
    std::string error;
    EXPECT_FALSE(png::writePng("/nonexistent-folder/x.png", 2, 2, picture(2, 2, 2), error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
