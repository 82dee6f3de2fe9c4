// Bulge arcs and texts in the drawing pass: the arc geometry, and the GDI calls both
// make.
#include "control/view/bulge_arc.h"
#include "control/view/text_painting.h"
#include "view_fixture.h"

#include <array>
#include <gmock/gmock.h>
#include <string>

namespace plandra {
namespace {

using Calls = std::vector<std::string>;

constexpr Long Red = 0x0000FF;
// Pixel x = 10 X, pixel y = 100 - 10 Y on a 100 x 100 surface.
constexpr RealRect TenByTen{0, 10, 10, 0};

TEST(BulgeArc, CentreRadiusAndAnglesOfChordsInEveryDirection) {
    constexpr float Pi = 3.14159f;
    struct Case {
        const char* Name;
        PolySegRec Segment;
        BulgeArc Expected;
    };
    const Case cases[] = {
        {"bulge 1: the half circle below the chord", {0, 0, 2, 0, 0, 1, 0, 1}, {1, 0, 1, -Pi, 0}},
        {"bulge -1: the half circle above it", {0, 0, 2, 0, 0, 1, 0, -1}, {1, 0, 1, 0, Pi}},
        {"chord to the left, bulge 1: above", {2, 0, 0, 0, 0, 1, 0, 1}, {1, 0, 1, 0, Pi}},
        {"chord to the left, bulge -1: below", {2, 0, 0, 0, 0, 1, 0, -1}, {1, 0, 1, -Pi, 0}},
        {"vertical chord upward, bulge 1: centre at the middle",
         {0, 0, 0, 2, 0, 1, 0, 1},
         {0, 1, 1, -Pi / 2, Pi / 2}},
        {"vertical chord downward, bulge 1",
         {0, 2, 0, 0, 0, 1, 0, 1},
         {0, 1, 1, -3 * Pi / 2, -Pi / 2}},
        {"vertical chord upward, bulge -1",
         {0, 0, 0, 2, 0, 1, 0, -1},
         {0, 1, 1, Pi / 2, 3 * Pi / 2}},
        {"quarter bulge on a chord of 8: radius 5",
         {1, 1, 9, 1, 0, 1, 0, 0.5f},
         {5, 4, 5, -2.4981f, -0.6435f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto fields = [](const BulgeArc& a) {
            return std::array{a.CenterX, a.CenterY, a.Radius, a.StartAngle, a.EndAngle};
        };
        EXPECT_THAT(fields(ArcOfBulge(c.Segment)),
                    testing::Pointwise(testing::FloatNear(1E-4f), fields(c.Expected)));
    }
}

class BulgePassTest : public test::ViewFixture {
protected:
    Long Layer = AddLayer(Red);

    static Calls ArcCalls(const std::string& arc) {
        return {"CreatePen(0, 1, 0x0000FF) -> pen1", "SelectObject(dc1, pen1) -> blackpen", arc,
                "SelectObject(dc1, blackpen) -> pen1", "DeleteObject(pen1)"};
    }
};

TEST_F(BulgePassTest, ArcsAreDrawnCounterClockwiseOrSkipped) {
    struct Case {
        const char* Name;
        PolySegRec Segment;
        Calls Expected;
    };
    const Case cases[] = {
        {"bulge 1 on a chord to the right: from the start vertex, below",
         {2, 5, 8, 5, 0, 0, 0, 1},
         ArcCalls("Arc(dc1, 20, 20, 80, 80, 20, 50, 80, 50)")},
        {"bulge -1 on the same chord: from the end vertex, above",
         {2, 5, 8, 5, 0, 0, 0, -1},
         ArcCalls("Arc(dc1, 20, 20, 80, 80, 80, 50, 20, 50)")},
        {"vertical chord: centre at the chord's middle",
         {5, 2, 5, 8, 0, 0, 0, 1},
         ArcCalls("Arc(dc1, 20, 20, 80, 80, 50, 80, 50, 20)")},
        {"both ends on one pixel", {5, 5, 5.01f, 5, 0, 0, 0, 1}, Calls{}},
        {"a tiny bulge: a box beyond 16-bit pixels", {2, 5, 8, 5, 0, 0, 0, 1E-6f}, Calls{}},
        {"a box past 16 bits on one side only", {2, 5, 3280, 5, 0, 0, 0, 1}, Calls{}},
        {"a box just inside 16 bits",
         {2, 5, 3270, 5, 0, 0, 0, 1},
         ArcCalls("Arc(dc1, 20, -16290, 32700, 16390, 20, 50, 32700, 50)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        PolySegRec segment = c.Segment;
        segment.LayerID = Restart(Red);
        Add(segment);
        EXPECT_TRUE(View.Zoom(TenByTen));
        EXPECT_EQ(DrawingCalls(), c.Expected);
        EXPECT_EQ(Gdi.LiveObjects(), 0);
    }
}

TEST(TextPainting, PixelHeightEscapementAndAlignment) {
    EXPECT_EQ(TextPixelHeight(2.5f, 1, 0.6f), 2);
    EXPECT_EQ(TextPixelHeight(2.5f, 1, 0.5f), 1);
    EXPECT_EQ(TextPixelHeight(2.5f, 2, 0.5f), 2);
    EXPECT_EQ(TextPixelHeight(1E30f, 1, 1E10f), std::nullopt);
    // The heights drawn are checked through the pass below, and escapement 0 with it.
    EXPECT_TRUE(IsDrawnTextHeight(50001));
    for (auto [rotation, escapement] : {std::pair{44.5f, 440}, {45.5f, 460}, {-30.6f, -310}}) {
        EXPECT_EQ(EscapementOf(rotation), escapement) << rotation;
    }
    EXPECT_EQ(EscapementOf(1E20f), 0);
    // Alignments -1 to 6: centred (1, 4), right (2), or left on the baseline.
    const unsigned flags[] = {24u, 24u, 30u, 26u, 24u, 30u, 24u, 24u};
    for (int align = -1; align <= 6; ++align) {
        EXPECT_EQ(TextAlignOf(align), flags[align + 1]) << align;
    }
}

TEST(TextPainting, MeasuresInPointsOnTheSurfaceAndRestoresItsScaleMode) {
    platform::RecordingPictureBox surface(200, 100);
    surface.SetScaleMode(platform::scale::Millimeters);
    std::string error = "old";
    Long width = 0;
    Long height = 0;
    ASSERT_TRUE(GetStringDimensions(error, surface, "abcd", 12, width, height));
    EXPECT_EQ(error, "");
    EXPECT_EQ(surface.ScaleMode(), platform::scale::Millimeters);
    EXPECT_EQ(surface.FontSize(), 12.0);
    EXPECT_EQ(width, static_cast<Long>(RoundHalfEven(surface.TextWidth("abcd"))));
    EXPECT_EQ(height, static_cast<Long>(RoundHalfEven(surface.TextHeight("abcd") * 0.66)));
}

class TextPassTest : public test::ViewFixture {
protected:
    Long Layer = AddLayer(Red);

    TextRec Text(const char* text, float height, float rotation, Long align) const {
        TextRec record;
        record.X = 5;
        record.Y = 5;
        record.Text.Assign(text);
        record.Height = height;
        record.Rotation = rotation;
        record.HorzAlign = align;
        record.LayerID = Layer;
        record.FontName.Assign("Arial");
        record.FontScalar = 1;
        return record;
    }
};

TEST_F(TextPassTest, TextIsDrawnWithItsOwnFontOnItsBaseline) {
    Add(Text("  Hi  ", 2.5f, 30, 1));
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(),
              (Calls{"CreateFontA(25, 0, 300, 0, 100, 0, 0, 0, 0, 6, 0, 2, 0, \"Arial\") -> font1",
                     "SelectObject(dc1, font1) -> systemfont", "SetTextAlign(dc1, 30)",
                     "SetTextColor(dc1, 0x0000FF)", "SetBkMode(dc1, 1)",
                     "TextOutA(dc1, 50, 50, \"Hi\", 2)", "SetBkMode(dc1, 2)",
                     "SelectObject(dc1, systemfont) -> font1", "DeleteObject(font1)"}));
    EXPECT_EQ(Gdi.LiveObjects(), 0);
}

TEST_F(TextPassTest, PixelHeightsBelowTwoOrOfExactly50000AreSkipped) {
    struct Case {
        float Height;
        const char* Font; ///< empty: not drawn
    };
    const Case cases[] = {{0.15f, "CreateFontA(2, "},
                          {0.149f, ""},
                          {0.05f, ""},
                          {5000, ""},
                          {4999.9f, "CreateFontA(49999, "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Height);
        Layer = Restart(Red);
        Add(Text("x", c.Height, 0, 0));
        EXPECT_TRUE(View.Zoom(TenByTen));
        Calls calls = DrawingCalls();
        if (*c.Font == '\0') {
            EXPECT_EQ(calls, Calls{});
        } else {
            ASSERT_FALSE(calls.empty());
            EXPECT_TRUE(calls[0].starts_with(c.Font)) << calls[0];
        }
    }
}

TEST_F(TextPassTest, DeletedTextsSwitchedOffLayersAndHiddenAttributesDrawNothing) {
    TextRec deleted = Text("gone", 2, 0, 0);
    deleted.Deleted = IntegerTrue;
    Add(deleted);
    TextRec off = Text("off", 2, 0, 0);
    off.LayerID = AddLayer(Red, false);
    Add(off);
    AttribRec attrib;
    attrib.X = 2;
    attrib.Y = 2;
    attrib.Text.Assign("value");
    attrib.Height = 1;
    attrib.LayerID = Layer;
    attrib.FontName.Assign("Courier New");
    attrib.FontScalar = 1;
    Add(attrib);
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(), Calls{});

    Options.DisplayAttributes = true;
    Gdi.Restart();
    EXPECT_TRUE(View.Zoom(TenByTen));
    Calls calls = DrawingCalls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(calls[0], "CreateFontA(10, 0, 0, 0, 100, 0, 0, 0, 0, 6, 0, 2, 0, \"Courier New\") "
                        "-> font1");
    EXPECT_EQ(calls[5], "TextOutA(dc1, 20, 80, \"value\", 5)");
}

TEST_F(TextPassTest, TextWhoseMeasuredBoxMissesTheSurfaceIsNotDrawn) {
    TextRec above = Text("above", 2, 0, 0);
    above.Y = 12; // the box runs down from the baseline, still above the surface
    Add(above);
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(), Calls{});
}

} // namespace
} // namespace plandra
