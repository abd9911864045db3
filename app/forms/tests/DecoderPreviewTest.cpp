// The decoder dialog's options reach the preview: with the board's moving test
// picture previewed through the SDK into a window of the window API, switching
// deinterlacing on in the dialog makes the interpolated lines smoother than the
// lines the deinterlacer keeps (a progressive picture shows no such difference),
// and after a preview the dialog shows the colour space the decoder used.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "DeskTestSupport.h"
#include "forms/TCodecSetup.h"
#include "quvo/QuvoSDK.h"
#include "quvo/QuvoWindow.h"

namespace encoderdesk {
namespace {

// Line-against-neighbours detail of the even and of the odd lines, summed over
// the pictures (green channel).
struct FieldDetail {
    std::mutex lock;  // the renderer's thread adds, the test reads
    double even = 0, odd = 0;
    std::vector<double> asymmetry;
};

void OnFrame(QUVO_WINDOW, const uint8_t* bgra, int32_t width, int32_t height, int32_t stride, int32_t, int32_t,
             int32_t, int32_t, void* context)
{
    auto* detail = static_cast<FieldDetail*>(context);
    double sums[2] = {0, 0};
    for (int y = 2; y < height - 2; ++y) {
        const uint8_t* above = bgra + (y - 1) * stride;
        const uint8_t* row = bgra + y * stride;
        const uint8_t* below = bgra + (y + 1) * stride;
        double s = 0;
        for (int x = 1; x < width * 4; x += 8) s += std::fabs(row[x] - (above[x] + below[x]) / 2.0);
        sums[y % 2] += s;
    }
    std::lock_guard guard(detail->lock);
    if (sums[0] + sums[1] > 0) detail->asymmetry.push_back(std::fabs(sums[0] - sums[1]) / (sums[0] + sums[1]));
}

// Mean asymmetry over about two seconds of preview, the first pictures skipped.
double PreviewAsymmetry()
{
    FieldDetail detail;
    QUVO_WINDOW window = QuvoWindowCreate(nullptr, &OnFrame, &detail);
    QuvoWindowSetClientSize(window, 320, 240);
    EXPECT_EQ(QuvoSetPreviewWindow(window, 0, 0, 320, 240), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetPreviewMode(QUVO_PREVIEW_VIDEO), QUVO_SUCCESS);
    EXPECT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    QuvoStopPreview();
    QuvoWindowDestroy(window);
    std::lock_guard guard(detail.lock);
    EXPECT_GE(detail.asymmetry.size(), 30u);
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 10; i < detail.asymmetry.size(); ++i, ++n) sum += detail.asymmetry[i];
    return n ? sum / static_cast<double>(n) : 0;
}

// Sets the first page's deinterlacing box in the dialog and presses OK.
void SetDeinterlacing(TCodecSetup& dialog, bool on, QString* lastUsed = nullptr)
{
    QTimer::singleShot(0, [&] {
        if (lastUsed) *lastUsed = dialog.findChild<QLabel*>("lbLastUsedColorSpace")->text();
        dialog.findChild<QCheckBox*>("cbDeinterlacing")->setChecked(on);
        dialog.findChild<QPushButton*>("BitBtn1")->click();
    });
    ASSERT_TRUE(dialog.EditDecoderSettings());
}

TEST(DecoderPreview, DeinterlacingFromTheDialogChangesThePreviewPictures)
{
    int argc = 1;
    char name[] = "decoder_preview_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ASSERT_TRUE(test::RegisterModules());
    ASSERT_EQ(test::BoardCtl("signal on"), 0);
    uint32_t status = 0;
    ASSERT_EQ(QuvoInitialize(&status), QUVO_SUCCESS);
    // The DVD frame: 720 x 576 pictures at the renderer.
    QuvoSetVideoCompressionStandard(2);
    QuvoSetVideoResolution(8192);
    QuvoSetVideoBitrate(0, 6000000, 6000000);

    TCodecSetup dialog;
    QString before;
    SetDeinterlacing(dialog, false, &before);
    EXPECT_EQ(before, "?");  // registered, but no preview has run yet
    const double progressive = PreviewAsymmetry();

    QString after;
    SetDeinterlacing(dialog, true, &after);
    EXPECT_EQ(after, "BGR4");
    const double deinterlaced = PreviewAsymmetry();

    EXPECT_LT(progressive, 0.03);
    EXPECT_GT(deinterlaced, 0.06);
    EXPECT_GT(deinterlaced, 3 * progressive);
    std::printf("field detail asymmetry: %.4f without, %.4f with deinterlacing\n", progressive, deinterlaced);
    QuvoUninitialize();
}

}  // namespace
}  // namespace encoderdesk
