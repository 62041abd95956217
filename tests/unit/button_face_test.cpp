// The face's layout at sizes other than the dialog's and the gradient's direction over a sequence
// of states. The dialog's own 77 x 25 face is held pixel for pixel in each state by
// win32/command_test.
#include <gtest/gtest.h>

#include <limits>

#include "controls/command_face.h"

namespace {

using namespace Veltrane::Controls;

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

TEST(ButtonFace, GradientDirectionFollowsTheStates) {
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
