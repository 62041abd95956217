// Prints each whole angle at which the project's Rotate (mode 2, about (W/2, H/2)) turns the
// picture into the frame bit for bit (raw top-down BGRA); exit code 1 if none does, 2 on bad input.
//   session_frame_check WIDTH HEIGHT picture.raw frame.raw
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "effects/rotate.h"

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    const auto readAll = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    const std::vector<std::uint8_t> picture = readAll(argv[3]), frame = readAll(argv[4]);
    const std::size_t rowBytes = std::size_t(width) * 4, imageBytes = rowBytes * height;
    if (width < 1 || height < 1 || picture.size() != imageBytes || frame.size() != imageBytes) {
        std::fprintf(stderr, "sizes do not match %dx%d\n", width, height);
        return 2;
    }
    // Image 1 is the picture bottom-up; the frame is compared bottom-up as well.
    std::vector<std::uint8_t> stack(imageBytes * 3), expected(imageBytes);
    for (int y = 0; y < height; ++y) {
        std::copy_n(&picture[y * rowBytes], rowBytes, &stack[(height - 1 - y) * rowBytes]);
        std::copy_n(&frame[y * rowBytes], rowBytes, &expected[(height - 1 - y) * rowBytes]);
    }
    const Veltrane_B1::RotateBlock block{width, height, stack.data(), nullptr, 1, 0x00FFFFFF, 2};
    std::size_t matches = 0, fewest = imageBytes;
    for (int angle = 0; angle < 360; ++angle) {
        Veltrane_B1::Rotate(block, float(width / 2), float(height / 2), angle + 360);
        std::size_t differences = 0;
        for (std::size_t i = 0; i < imageBytes; i += 4)  // colour bytes only
            differences +=
                !std::equal(&stack[imageBytes + i], &stack[imageBytes + i + 3], &expected[i]);
        fewest = std::min(fewest, differences);
        if (differences != 0) continue;
        ++matches;
        std::printf("angle %d\n", angle);
    }
    if (matches == 0) std::printf("no angle; fewest differing pixels %zu\n", fewest);
    return matches > 0 ? 0 : 1;
}
