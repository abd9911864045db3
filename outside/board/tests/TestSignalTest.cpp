// The generated analogue input: each proc-amp control and the input choice must
// change the picture the way a viewer would see it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "outside/board/core/Overlay.h"
#include "outside/board/core/TestPattern.h"

namespace quvo::board {
namespace {

constexpr int kW = 352, kH = 288;

Picture Still(const PictureSettings& s, std::int64_t frame = 0)
{
    TestPattern t;
    t.Configure(kW, kH, s);
    return t.Still(frame);
}

// Mean absolute difference of neighbouring luma samples in the multiburst area
// (lower left): a measure of fine detail.
double Detail(Picture& p)
{
    PlaneView v = p.View();
    double sum = 0;
    int n = 0;
    for (int y = kH * 5 / 6; y < kH * 5 / 6 + 8; ++y)
        for (int x = 1; x < kW / 2 - 1; ++x, ++n) sum += std::abs(v.Row(0, y)[x] - v.Row(0, y)[x - 1]);
    return sum / n;
}

double PlaneDifference(Picture& a, Picture& b, int plane)
{
    PlaneView va = a.View(), vb = b.View();
    const int w = plane ? kW / 2 : kW, h = plane ? kH / 2 : kH;
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) sum += std::abs(va.Row(plane, y)[x] - vb.Row(plane, y)[x]);
    return sum / (w * h);
}

PictureSettings SVideo()
{
    PictureSettings s;
    s.input = VideoInput::SVideo;
    return s;
}

TEST(TestSignal, HueAndSaturationChangeOnlyChroma)
{
    Picture base = Still(SVideo());
    PictureSettings hue = SVideo();
    hue.hue = 64;
    Picture turned = Still(hue);
    EXPECT_EQ(PlaneDifference(base, turned, 0), 0.0);
    EXPECT_GT(PlaneDifference(base, turned, 1) + PlaneDifference(base, turned, 2), 20.0);

    PictureSettings grey = SVideo();
    grey.saturation = 0;
    Picture g = Still(grey);
    PlaneView v = g.View();
    for (int x = 0; x < kW / 2; x += 7) EXPECT_EQ(v.Row(1, 10)[x], 128) << "no colour at saturation 0";
}

TEST(TestSignal, ContrastStretchesTheRamp)
{
    PictureSettings low = SVideo(), high = SVideo();
    low.contrast = 64;
    high.contrast = 200;
    Picture a = Still(low), b = Still(high);
    // The ramp's right end (lower right corner) is brighter with more contrast.
    EXPECT_GT(b.View().Row(0, kH - 4)[kW - 4], a.View().Row(0, kH - 4)[kW - 4] + 60);
}

TEST(TestSignal, SharpnessPeaksOrSoftensFineDetail)
{
    PictureSettings soft = SVideo(), neutral = SVideo(), sharp = SVideo();
    soft.sharpness = 0;
    sharp.sharpness = 15;
    Picture s = Still(soft), n = Still(neutral), p = Still(sharp);
    EXPECT_LT(Detail(s), Detail(n) * 0.8);
    EXPECT_GT(Detail(p), Detail(n) * 1.2);
}

TEST(TestSignal, CompositeIsNoisyAndSVideoIsClean)
{
    PictureSettings composite;  // default input
    Picture c0 = Still(composite, 0), c1 = Still(composite, 1);
    Picture s0 = Still(SVideo(), 0), s1 = Still(SVideo(), 1);
    EXPECT_GT(PlaneDifference(c0, c1, 0), 1.0) << "composite noise moves from frame to frame";
    EXPECT_EQ(PlaneDifference(s0, s1, 0), 0.0);
    EXPECT_GT(PlaneDifference(c0, s0, 1), 1.0) << "composite chroma is smeared and delayed";
}

TEST(TestSignal, OverlaysMoveAndCountTime)
{
    Picture a(kW, kH), b(kW, kH);
    a.Fill(16, 128, 128);
    b.Fill(16, 128, 128);
    DrawOverlays(a.View(), 0, TimeCodeOf(0, RateOf(TvSystem::Pal)), 235, 235, 16);
    DrawOverlays(b.View(), 10, TimeCodeOf(0, RateOf(TvSystem::Pal)), 235, 235, 16);
    EXPECT_GT(PlaneDifference(a, b, 0), 1.0) << "the box moved";

    const TimeCode tc = TimeCodeOf((3600 + 2 * 60 + 3) * 25 + 4, RateOf(TvSystem::Pal));
    EXPECT_EQ(tc.hours, 1);
    EXPECT_EQ(tc.minutes, 2);
    EXPECT_EQ(tc.seconds, 3);
    EXPECT_EQ(tc.frames, 4);
    EXPECT_EQ(TimeCodeOf(59, RateOf(TvSystem::Ntsc)).frames, 29);
}

TEST(TestSignal, NoSignalIsBlue)
{
    Picture p(kW, kH);
    FillNoSignal(p.View());
    EXPECT_GT(p.View().Row(1, 5)[5], 200);  // strong blue difference
}

}  // namespace
}  // namespace quvo::board
