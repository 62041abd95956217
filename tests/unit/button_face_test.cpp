#include <gtest/gtest.h>

#include <limits>

#include "controls/command_face.h"

namespace {

using namespace Veltrane::Controls;

struct PieceRow {
    platform::Rect destination, source;      // twips: left, top, right, bottom
    platform::Rect destinationPx, sourcePx;  // pixels
};

TEST(ButtonFace, LayoutOfTheDialogsButtons) {
    const FaceLayout layout = ComputeFaceLayout(1155, 375, 195);
    const PieceRow expected[8] = {
        {{1, 1, 61, 61}, {0, 0, 60, 60}, {0, 0, 4, 4}, {0, 0, 4, 4}},
        {{60, 1, 1095, 61}, {60, 1, 900, 61}, {4, 0, 73, 4}, {4, 0, 60, 4}},
        {{1095, 1, 1155, 61}, {900, 1, 960, 61}, {73, 0, 77, 4}, {60, 0, 64, 4}},
        {{1095, 60, 1155, 315}, {900, 60, 960, 315}, {73, 4, 77, 21}, {60, 4, 64, 21}},
        {{1095, 315, 1155, 375}, {900, 315, 960, 375}, {73, 21, 77, 25}, {60, 21, 64, 25}},
        {{60, 315, 1095, 375}, {60, 315, 900, 375}, {4, 21, 73, 25}, {4, 21, 60, 25}},
        {{1, 315, 61, 375}, {0, 315, 60, 375}, {0, 21, 4, 25}, {0, 21, 4, 25}},
        {{1, 60, 61, 315}, {1, 60, 61, 315}, {0, 4, 4, 21}, {0, 4, 4, 21}},
    };
    for (int i = 0; i < 8; ++i) {
        const FramePiece& piece = layout.pieces[i];
        EXPECT_EQ(piece.destination, expected[i].destination) << "piece " << i;
        EXPECT_EQ(piece.source, expected[i].source) << "piece " << i;
        EXPECT_EQ(ToPixels(piece.destination), expected[i].destinationPx) << "piece " << i;
        EXPECT_EQ(ToPixels(piece.source), expected[i].sourcePx) << "piece " << i;
        EXPECT_TRUE(piece.Drawn());
    }
    EXPECT_EQ(layout.captionTop, 80.0);
    EXPECT_EQ(layout.captionLeft, 0);
    EXPECT_EQ(layout.captionWidth, 1155);
}

TEST(ButtonFace, NarrowAndHugeFaces) {
    const FaceLayout narrow = ComputeFaceLayout(120, 375, 195);
    for (const FramePiece& piece : narrow.pieces) {
        const bool edge = piece.id == FramePieceId::Top || piece.id == FramePieceId::Bottom;
        EXPECT_EQ(piece.Drawn(), !edge) << static_cast<int>(piece.id);
        if (edge) {
            EXPECT_EQ(piece.destination.right, piece.destination.left);
        }
    }
    EXPECT_EQ(narrow.pieces[2].destination.left, 60);  // top-right corner meets the top-left one
    // Corner and size round down apart: 2 twips from twip 14 are no pixel wide, not one.
    EXPECT_EQ(ToPixels({14, 0, 16, 15}), (platform::Rect{0, 0, 0, 1}));

    // Smaller than the frame: negative inner sizes are never drawn (they would mirror).
    const FaceLayout tiny = ComputeFaceLayout(90, 90, 195);
    EXPECT_FALSE(tiny.pieces[1].Drawn());
    EXPECT_FALSE(tiny.pieces[3].Drawn());

    // Beyond 16-bit twips the numbers are still the face's own.
    const FaceLayout huge = ComputeFaceLayout(40000, 375, 195);
    EXPECT_EQ(huge.pieces[1].destination.right - huge.pieces[1].destination.left, 39880);
    EXPECT_EQ(huge.pieces[4].destination.left, 39940);
    EXPECT_EQ(WholeTwips(1e12), 1 << 24);
    EXPECT_EQ(WholeTwips(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(WholeTwips(1154.5), 1154);
}

TEST(ButtonFace, GradientColoursAndDirection) {
    const GradientRecords plain = PaintGradient(false, 77, 25);
    EXPECT_EQ(plain.vertices[0], (platform::TriVertex{0, 0, 0xFF00, 0xFF00, 0xFF00, 0}));
    EXPECT_EQ(plain.vertices[1], (platform::TriVertex{76, 24, 0xC600, 0xC500, 0xD700, 0}));
    EXPECT_EQ(plain.vertices[2], platform::TriVertex{});
    EXPECT_EQ(plain.rect, (platform::GradientRect{1, 0}));
    const GradientRecords reversed = PaintGradient(true, 77, 25);
    EXPECT_EQ(reversed.vertices[0].red, 0xC600);
    EXPECT_EQ(reversed.vertices[1].blue, 0xFF00);

    // Paints in a sequence of states: dark on top after 2, kept by 4 and by 0.
    const struct {
        std::uint8_t state;
        bool reversedAfter;
    } sequence[] = {{0, false}, {2, true},  {4, true}, {0, true},
                    {1, false}, {4, false}, {2, true}, {3, false}};
    bool reversed_ = false;
    const FaceSize size{1155, 375, 77, 25, 195};
    for (const auto& step : sequence) {
        const FacePaint paint = DrawState(SkinPicture::Normal, step.state, reversed_, size);
        EXPECT_EQ(reversed_, step.reversedAfter) << int{step.state};
        EXPECT_EQ(paint.gradient.vertices[0].green, step.reversedAfter ? 0xC500 : 0xFF00);
    }
}

}  // namespace
