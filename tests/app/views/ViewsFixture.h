// The 2D and 3D views of the running application, shown a generated image: the fixture and
// what the tests read from the pictures.
#pragma once

#include <gtest/gtest.h>

#include <QMdiSubWindow>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/app/AppTestSupport.h"
#include "app/MainFrame.h"
#include "app/views/View2D.h"
#include "app/views/View3D.h"
#include "app/views/ViewLookup.h"
#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/SpmImage.h"
#include "platform/qt/MDIChildFrame.h"
#include "support/TestImages.h"

// Mesa's software renderer splits frames by thread; a fixed count makes runs repeat.
inline const bool kFixedThreads = setenv("LP_NUM_THREADS", "4", 1) == 0;

inline constexpr int kSide = 64;
// Two plateaus (left low, right high) and a marker at the top left at half height.
inline double Plateaus(int r, int c)
{
    if (r < 8 && c < 8)
        return 50.0;
    return c < kSide / 2 ? 0.0 : 100.0;
}

inline QImage Rgb(const QImage& picture)
{
    return picture.convertToFormat(QImage::Format_RGB888);
}

inline bool Near(QRgb pixel, COLORREF colour)
{
    return std::abs(qRed(pixel) - static_cast<int>(RedOf(colour))) <= 1 &&
           std::abs(qGreen(pixel) - static_cast<int>(GreenOf(colour))) <= 1 &&
           std::abs(qBlue(pixel) - static_cast<int>(BlueOf(colour))) <= 1;
}

class Views : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kFixedThreads);
        CSpmImage image = MakeImage(kSide, kSide, Plateaus, 10.0f, 10.0f);
        image.m_header.m_fKz = 0.01f;
        CImageFile file;
        ASSERT_TRUE(WriteImage(file, ImageFormat::kSpm, (m_dir / "plateaus.spm").string(), image));
        m_app = std::make_unique<RunningApp>((m_dir / "plateaus.spm").string());
        m_view2D = Find<CView2D>(":2D");
        m_view3D = Find<CView3D>(":3D");
        ASSERT_TRUE(m_view2D != nullptr && m_view3D != nullptr);
        ASSERT_TRUE(m_view2D->Canvas() != nullptr && m_view3D->Canvas() != nullptr);
        Main().m_nRenderMode = kRenderPrecise;
    }

    CMainFrame& Main() { return m_app->MainFrame(); }
    CGLCanvas& Canvas2D() { return *m_view2D->Canvas(); }
    CGLCanvas& Canvas3D() { return *m_view3D->Canvas(); }
    template <class View>
    View* Find(const std::string& kind)
    {
        return m_app->Activate(kind) ? dynamic_cast<View*>(Main().MDIGetActive()->GetActiveView()) : nullptr;
    }
    CPresentationConfig& Settings(CView& view) { return FindShownImage(view).Settings(); }
    // The 3D view draws nothing but its colour scale, on white: the title, values and frame
    // are black.
    void ShowScaleOnly()
    {
        CPresentationConfig& scale = Settings(*m_view3D);
        scale.m_EnablePolygon = 0;
        scale.m_Border = 0;
        scale.m_DrawAxiz = 0;
        scale.m_DrawXYLine = 3;
        scale.m_EnablePolygonColor = 1;
        scale.m_BackgroundColor = MakeColor(255, 255, 255);
        m_view3D->OnUpdate(kHintColors, nullptr);
    }
    void ResizeView(QWidget& view, QSize size)
    {
        QWidget* frame = view.parentWidget();
        while (frame != nullptr && qobject_cast<QMdiSubWindow*>(frame) == nullptr)
            frame = frame->parentWidget();
        frame->resize(frame->size() + size - view.size());
        RunningApp::Pump(100);
        ASSERT_EQ(view.size(), size);
    }
    void Shot(CView& view, const char* name)
    {
        Main().ActivateFrame(view.GetParentFrame());
        Screenshot(name, &Main());
    }

    ScratchDir m_dir;
    std::unique_ptr<RunningApp> m_app;
    CView2D* m_view2D = nullptr;
    CView3D* m_view3D = nullptr;
};

// The pixel of image point (row, column) in a 2D picture: the image fills the height less the
// margin, centred.
inline QRgb ImagePixel(const QImage& picture, int row, int column)
{
    const double side = picture.height() / 1.15;
    const double x = picture.width() / 2.0 + (column / (kSide - 1.0) - 0.5) * side;
    const double y = picture.height() / 2.0 + (row / (kSide - 1.0) - 0.5) * side;
    return picture.pixel(static_cast<int>(x), static_cast<int>(y));
}
