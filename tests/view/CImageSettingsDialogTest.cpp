// The image settings dialog: its texts, the slider and the preview blended over the backdrop, run
// through the dialog seam.
#include <gtest/gtest.h>

#include <QSlider>

#include <functional>

#include "image/CRasterImage.h"
#include "tests/support/UiTestSupport.h"
#include "view/CImageSettingsDialog.h"

namespace {

// A picture whose every pixel tells where it lies: red = x, green = y counted from the top.
CRasterImage Gradient(int width, int height)
{
    CRasterImage image;
    image.Create(width, height, 24, IMAGE_FORMAT_BMP);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, height - 1 - y, RGB(x % 256, y % 256, 77));
    return image;
}

COLORREF PixelTopDown(const CRasterImage& image, int x, int y)
{
    const RGBQUAD c = image.GetPixelColor(x, int(image.GetHeight()) - 1 - y, false);
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

CString Text(CDialog& d, UINT nID)
{
    CString s;
    d.GetDlgItem(int(nID))->GetWindowText(s);
    return s;
}

class ImageSettings : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    void TearDown() override { SetDialogRunner({}); }

    // Runs the dialog with runner as the user.
    int Run(CImageSettingsDialog& dialog, std::function<void(CImageSettingsDialog&)> runner)
    {
        SetDialogRunner([&](CDialog& d) { runner(static_cast<CImageSettingsDialog&>(d)); });
        return dialog.DoModal();
    }
};

TEST_F(ImageSettings, TextsDescribeTheImageAndTheSliderSetsTheLevel)
{
    CImageSettingsDialog dialog;
    dialog.m_image = Gradient(300, 260);
    std::vector<CString> percents;
    const int result = Run(dialog, [&](CImageSettingsDialog& d) {
        EXPECT_STREQ(Text(d, IDC_IMAGE_WIDE), "WIDE:  300 Pixels");
        EXPECT_STREQ(Text(d, IDC_IMAGE_HIGH), "HIGH:  260 Pixels");
        EXPECT_STREQ(Text(d, IDC_IMAGE_BPP), "BPP:    24 bits/Pixel");
        EXPECT_STREQ(Text(d, IDC_IMAGE_TRANSPARENCY), "NON-TRANSPARENT");
        EXPECT_EQ(d.m_slider.GetRangeMin(), 0);
        EXPECT_EQ(d.m_slider.GetRangeMax(), 255);
        EXPECT_EQ(d.m_slider.GetPos(), 255);
        EXPECT_EQ(d.m_slider.GetTics(), std::vector<int>{127});
        EXPECT_EQ(d.m_slider.GetTicFreq(), 16);
        percents.push_back(Text(d, IDC_IMAGE_ALPHA_PERCENT));
        auto* slider = qobject_cast<QSlider*>(d.GetDlgItem(IDC_IMAGE_ALPHA)->GetWidget());
        for (int level : {127, 0, 255}) {
            slider->setValue(level);
            EXPECT_EQ(d.m_nAlpha, level);
            percents.push_back(Text(d, IDC_IMAGE_ALPHA_PERCENT));
        }
        d.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(dialog.GetRuntimeClass()->m_lpszClassName, "CImageSettingsDialog");
    EXPECT_EQ(dialog.GetRuntimeClass()->m_pfnCreateObject, nullptr);
    EXPECT_EQ(percents, (std::vector<CString>{"100%", "49%", "0%", "100%"}));
}

TEST_F(ImageSettings, PreviewIsTheCroppedImageBlendedOverTheBackdrop)
{
    CImageSettingsDialog dialog;
    dialog.m_image = Gradient(300, 260);
    Run(dialog, [&](CImageSettingsDialog& d) {
        // Opaque: the top-left 250 x 200 pixels, unscaled.
        ASSERT_EQ(d.m_preview.GetWidth(), 250u);
        ASSERT_EQ(d.m_preview.GetHeight(), 200u);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{10, 20}, std::pair{249, 199}, std::pair{123, 45}})
            EXPECT_EQ(PixelTopDown(d.m_preview, x, y), PixelTopDown(d.m_image, x, y)) << x << "," << y;
        EXPECT_NE(d.m_previewCtrl.GetBitmap(), nullptr);

        // Transparent: only the backdrop, white where it has no picture of its own.
        d.m_nAlpha = 0;
        d.UpdatePreview();
        const COLORREF backdrop = PixelTopDown(d.m_preview, 200, 150);
        if (!FindResource(nullptr, MAKEINTRESOURCE(IDB_IMAGE_BACKDROP), RT_BITMAP))
            EXPECT_EQ(backdrop, RGB(255, 255, 255));

        // Half way: between the picture and the backdrop.
        d.m_nAlpha = 127;
        d.UpdatePreview();
        const COLORREF half = PixelTopDown(d.m_preview, 200, 150);
        const int picture = GetRValue(PixelTopDown(d.m_image, 200, 150));
        EXPECT_GT(int(GetRValue(half)), std::min<int>(picture, GetRValue(backdrop)));
        EXPECT_LT(int(GetRValue(half)), std::max<int>(picture, GetRValue(backdrop)));
        d.ClickDlgItem(IDCANCEL);
    });
}

TEST_F(ImageSettings, ATransparentIndexIsReported)
{
    CImageSettingsDialog dialog;
    dialog.m_image.Create(20, 10, 8, IMAGE_FORMAT_GIF);
    dialog.m_image.SetTransIndex(3);
    CString transparency, bpp;
    Run(dialog, [&](CImageSettingsDialog& d) {
        transparency = Text(d, IDC_IMAGE_TRANSPARENCY);
        bpp = Text(d, IDC_IMAGE_BPP);
    });
    EXPECT_STREQ(transparency, "TRANSPARENCY SET");
    EXPECT_STREQ(bpp, "BPP:     8 bits/Pixel");
}

} // namespace
