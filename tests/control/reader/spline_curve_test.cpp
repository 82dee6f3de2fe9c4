// Splines evaluated to points: exact curves, chord tolerance, the segment budget and
// damaged definitions; and SPLINE entities read through a block.
#include "control/reader/spline_curve.h"
#include "reader_fixture.h"

#include <chrono>
#include <cmath>

namespace plandra {
namespace {

const std::vector<CurvePoint> Corner = {{0, 0}, {1, 0}, {1, 1}};

SplineDefinition Spline(int degree, std::vector<double> knots, std::vector<CurvePoint> controls,
                        std::vector<double> weights = {}, std::vector<CurvePoint> fit = {},
                        bool closed = false) {
    return {degree, std::move(knots), std::move(controls), std::move(weights), std::move(fit),
            closed};
}

TEST(SplineCurve, DamagedDefinitionsStillGiveTheCurveTheyMeanOrNothing) {
    const struct {
        const char* Name;
        SplineDefinition Spline;
        std::vector<CurvePoint> Expected;
    } cases[] = {
        {"degree 1", Spline(1, {0, 0, 1, 2, 2}, Corner), Corner},
        {"degree 0 taken as 1", Spline(0, {}, Corner), Corner},
        {"knots out of order, weights of 0", Spline(1, {0, 5, 1, 2, 2}, Corner, {0, 0, 0}), Corner},
        {"fit points only", Spline(3, {}, {}, {}, Corner, true), {{0, 0}, {1, 0}, {1, 1}, {0, 0}}},
        {"one control point", Spline(3, {}, {{1, 1}}), {}},
        {"a degree far above the points", Spline(30, {}, {{0, 0}, {2, 0}}), {{0, 0}, {2, 0}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplinePoints(c.Spline, 0.01, 100), c.Expected) << c.Name;
    }
}

TEST(SplineCurve, ARationalQuarterCircleStaysWithinTheTolerance) {
    const double w = std::sqrt(0.5);
    SplineDefinition arc = Spline(2, {0, 0, 0, 1, 1, 1}, {{1, 0}, {1, 1}, {0, 1}}, {1, w, 1});
    const double tolerance = 0.001;
    std::vector<CurvePoint> points = SplinePoints(arc, tolerance, 1000);
    ASSERT_GT(points.size(), 4u);
    EXPECT_EQ(points.front(), (CurvePoint{1, 0}));
    EXPECT_EQ(points.back(), (CurvePoint{0, 1}));
    for (std::size_t i = 1; i < points.size(); ++i) {
        EXPECT_NEAR(std::hypot(points[i].X, points[i].Y), 1, 1e-12);
        // The chord's middle lies inside the circle by the chord's sagitta.
        double midX = (points[i].X + points[i - 1].X) / 2;
        double midY = (points[i].Y + points[i - 1].Y) / 2;
        EXPECT_LT(1 - std::hypot(midX, midY), tolerance * 1.01);
    }
}

TEST(SplineCurve, AMillionControlPointsStayWithinTheSegmentBudget) {
    SplineDefinition wild = Spline(3, {}, {});
    for (int i = 0; i < 1'000'000; ++i) {
        wild.ControlPoints.push_back({static_cast<double>(i), (i % 2) * 1000.0});
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_LE(SplinePoints(wild, 1e-6, 8192).size(), 8193u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

class SplineReaderTest : public test::ReaderFixture {};

TEST_F(SplineReaderTest, ASplineInABlockIsInsertedAsSegments) {
    Options.ReadModernEntities = true;
    ASSERT_TRUE(Load(test::Section("BLOCKS", "0|BLOCK|8|0|2|S|10|0|20|0|0|SPLINE|8|0|71|1|"
                                             "10|0|20|0|10|1|20|0|10|1|20|1|0|ENDBLK") +
                     test::EntitiesDrawing("0|INSERT|8|0|2|S|10|5|20|5")));
    ASSERT_EQ(Database.PolySegCount, 2);
    const PolySegRec& last = Database.PolySegs[2];
    EXPECT_EQ((std::array{last.X1, last.Y1, last.X2, last.Y2}), (std::array<float, 4>{6, 5, 6, 6}));
    EXPECT_EQ(Database.Extents, (RealRect{5, 6, 6, 5}));
}

} // namespace
} // namespace plandra
