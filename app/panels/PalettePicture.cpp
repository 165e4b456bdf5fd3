#include "app/panels/PalettePicture.h"

#include <QPolygon>

#include <algorithm>

#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "platform/qt/DisplayText.h"
#include "presentation/ProfileCurves.h"

namespace {

constexpr COLORREF kBlack = MakeColor(0, 0, 0);
constexpr COLORREF kWhite = MakeColor(255, 255, 255);
constexpr COLORREF kHistogramColor = MakeColor(0, 0, 255);
constexpr COLORREF kStripColor = MakeColor(200, 200, 200);

void DrawBands(QPainter& painter, const GdiRect& bar, const std::vector<COLORREF>& table,
               std::size_t bins)
{
    const double step = static_cast<double>(bar.Height()) / static_cast<double>(bins);
    for (std::size_t i = 0; i < std::min(bins, table.size()); ++i) {
        const int top = TruncToInt32(bar.bottom - static_cast<double>(i + 1) * step);
        const int bottom = TruncToInt32(bar.bottom - static_cast<double>(i) * step);
        FillGdiRect(painter, {bar.left, top, bar.right, bottom}, table[i]);
    }
}

void DrawHistogram(QPainter& painter, const GdiRect& bar, const CSpmImage& image, std::size_t bins)
{
    if (image.m_nBinCountMax == 0 || image.m_pHistogram.size() < bins)
        return;
    QPolygon points;
    points.append(QPoint(bar.right, bar.bottom));
    for (std::size_t i = 0; i < bins; ++i) {
        const double count = image.m_pHistogram[i];
        const int x = bar.right - TruncToInt32(count * (bar.Width() - 10) / image.m_nBinCountMax) - 5;
        const int y = bar.bottom - TruncToInt32(static_cast<double>(i) * bar.Height() /
                                                static_cast<double>(bins));
        points.append(QPoint(x, y));
    }
    painter.setPen(QPen(ToQColor(kHistogramColor), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(points);
}

// A scale line from the bar's edge out to the right with its height beside it.
void DrawScaleMark(QPainter& painter, const GdiRect& bar, int y, double height)
{
    DrawGdiLine(painter, {bar.left, y}, {bar.right + 20, y}, kBlack);
    DrawGdiText(painter, bar.right + 25, y + 5, QString::fromStdString(FormatFixed(height, 3)),
                {TextH::Left, TextV::Baseline});
}

} // namespace

QImage DrawPaletteBar(QSize size, const PaletteFonts& fonts, const CSpmImage& colourImage,
                      const CPresentationConfig& colourConfig, const std::string& colourName)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    const GdiRect client{0, 0, size.width(), size.height()};
    FillGdiRect(painter, client, kWhite);
    const GdiRect bar{client.left, client.top + 30, client.right - 100, client.bottom - 30};
    const std::size_t bins = static_cast<std::size_t>(std::max(colourImage.m_nBins, 0));
    if (!colourConfig.m_pColorTable.empty() && colourConfig.m_ColorCursors.size() >= 2 && bins > 0)
        DrawBands(painter, bar, colourConfig.m_pColorTable, bins);
    if (bins > 1)
        DrawHistogram(painter, bar, colourImage, bins);
    painter.setPen(ToQColor(kBlack));
    painter.setFont(fonts.title);
    const std::string title = CutBeforeMark(CutBeforeMark(colourName, ' '), '_');
    DrawGdiText(painter, 30, 20, DisplayText(title), {TextH::Left, TextV::Baseline});
    painter.setFont(fonts.scale);
    DrawScaleMark(painter, bar, bar.top, colourImage.m_dMax);
    DrawScaleMark(painter, bar, bar.bottom, colourImage.m_dMin);
    FrameGdiRect(painter, bar, kBlack);
    return picture;
}

QImage DrawCursorStrip(QSize size, const std::vector<ColorCursor>& cursors)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    const int height = size.height();
    const int half = size.width() / 4;
    FillGdiRect(painter, {0, 0, size.width(), height}, kStripColor);
    for (const ColorCursor& cursor : cursors) {
        const int y = height - TruncToInt32(height * static_cast<double>(cursor.m_Position));
        const GdiRect mark{0, y - half, size.width(), y + half - 1};
        FillGdiRect(painter, mark, cursor.m_Color);
        FrameGdiRect(painter, mark, kBlack);
    }
    return picture;
}
