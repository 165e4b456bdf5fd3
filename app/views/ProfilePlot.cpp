#include "app/views/ProfilePlot.h"

#include <QFontMetrics>
#include <QPen>
#include <QPolygon>

#include <algorithm>

#include "platform/qt/DisplayText.h"

namespace {

constexpr COLORREF kBlack = MakeColor(0, 0, 0);
constexpr COLORREF kBandColor = MakeColor(200, 255, 200);
constexpr COLORREF kGridColor = MakeColor(200, 200, 200);

} // namespace

CProfilePlot::CProfilePlot(std::span<const ProfilePoint> profile, QString xLabel, QString yLabel,
                           const ProfilePlotDesc& desc)
    : m_profile(profile), m_strXLabel(std::move(xLabel)), m_strYLabel(std::move(yLabel)),
      m_desc(desc), m_fontLabel(GdiFont(QStringLiteral("Arial"), 16)),
      m_nTextHeight(TextCellHeight(m_fontLabel))
{
    m_axisX.m_bIsX = true;
}

void CProfilePlot::SetGeometry(const GdiRect& rc)
{
    m_geometry = PlotGeometryFor(rc.left, rc.top, rc.right, rc.bottom);
    CalcAxisRange(m_profile, m_axisX);
    CalcAxisRange(m_profile, m_axisY);
}

GdiRect CProfilePlot::PlotArea() const
{
    return {m_geometry.ValueToPixelX(-0.5), m_geometry.ValueToPixelY(0.5),
            m_geometry.ValueToPixelX(0.5), m_geometry.ValueToPixelY(-0.5)};
}

void CProfilePlot::Draw(QPainter& painter, const GdiRect& rc)
{
    SetGeometry(rc);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const GdiRect area = PlotArea();
    DrawGdiRectangle(painter, area, kBlack, MakeColor(255, 255, 255));
    DrawCursorBand(painter, area);
    painter.setFont(m_fontLabel);
    painter.setPen(ToQColor(kBlack));
    const int th = m_nTextHeight;
    DrawReadout(painter, area.bottom + 10 + 2 * th,
                QStringLiteral("Position, %1:").arg(DisplayText(m_desc.m_strPosUnit)),
                ReadoutTexts(m_desc.m_dPosA, m_desc.m_dPosB, m_desc.m_dPosStep, kReadoutDecimals));
    painter.setPen(ToQColor(m_desc.m_crColor));
    DrawReadout(painter, area.bottom + 10 + 3 * th,
                DisplayText(m_desc.m_strQuantity + ", " + m_desc.m_strUnit + ":"),
                ReadoutTexts(m_desc.m_dValueA, m_desc.m_dValueB, m_desc.m_dValueStep, kReadoutDecimals));
    painter.setPen(ToQColor(kBlack));
    DrawHorizontalTicks(painter, area);
    DrawVerticalTicks(painter, area);
    DrawGdiText(painter, area.left - th / 2, area.top - th, m_strYLabel,
                {TextH::Right, TextV::Baseline});
    DrawGdiText(painter, area.right - th, area.bottom + th, m_strXLabel,
                {TextH::Left, TextV::Baseline});
    DrawCurve(painter);
    painter.restore();
}

void CProfilePlot::DrawCompact(QPainter& painter, const GdiRect& rc)
{
    SetGeometry(rc);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(m_fontLabel);
    painter.setPen(ToQColor(m_desc.m_crColor));
    DrawReadout(painter, PlotArea().bottom + 10 + 4 * m_nTextHeight,
                DisplayText(m_desc.m_strQuantity + ", " + m_desc.m_strUnit + ":"),
                ReadoutTexts(m_desc.m_dValueA, m_desc.m_dValueB, m_desc.m_dValueStep, kCompactReadoutDecimals));
    DrawCurve(painter);
    painter.restore();
}

void CProfilePlot::DrawCursorBand(QPainter& painter, const GdiRect& area)
{
    const int xa = m_geometry.ValueToPixelX(m_desc.m_dCursorA - 0.5);
    const int xb = m_geometry.ValueToPixelX(m_desc.m_dCursorB - 0.5);
    DrawGdiRectangle(painter, {std::min(xa, xb), area.top, std::max(xa, xb), area.bottom}, kBlack,
                     kBandColor);
    painter.setFont(m_fontLabel);
    painter.setPen(ToQColor(kBlack));
    const TextAnchor baseline{TextH::Left, TextV::Baseline};
    DrawGdiText(painter, xa - m_nTextHeight / 2, area.top - 6, QStringLiteral("[a]"), baseline);
    DrawGdiText(painter, xb - m_nTextHeight / 2, area.top - 6, QStringLiteral("[b]"), baseline);
}

// One readout line in the painter's pen: its head, then [a], [b] and their difference.
void CProfilePlot::DrawReadout(QPainter& painter, int baseline, const QString& head,
                               const std::array<std::string, 3>& readouts)
{
    const QFontMetrics metrics(painter.font());
    std::array<QString, 4> texts{head};
    std::array<int, 4> widths{metrics.horizontalAdvance(head)};
    for (std::size_t i = 0; i < readouts.size(); ++i) {
        texts[i + 1] = QString::fromStdString(readouts[i]);
        widths[i + 1] = metrics.horizontalAdvance(texts[i + 1]);
    }
    const std::array<int, 4> xs = ReadoutColumns(PlotArea().left, widths, m_nTextHeight / 2);
    for (std::size_t i = 0; i < texts.size(); ++i)
        DrawGdiText(painter, xs[i], baseline, texts[i], {TextH::Left, TextV::Baseline});
}

// Ticks on whole multiples of the step; a tick on the left edge keeps its label, and the
// frame stands for its grid line.
void CProfilePlot::DrawHorizontalTicks(QPainter& painter, const GdiRect& area)
{
    const double minS = m_axisX.m_dMinScaled;
    const double maxS = m_axisX.m_dMaxScaled;
    for (double t : TickValues(m_axisX)) {
        const int px = m_geometry.ValueToPixelX(PlotFraction(t, minS, maxS));
        if (minS < t && t < maxS)
            DrawGdiLine(painter, {px, area.bottom}, {px, area.top}, kGridColor);
        DrawGdiText(painter, px, area.bottom + m_nTextHeight,
                    QString::fromStdString(FormatTickLabel(m_axisX, t)),
                    {TextH::Center, TextV::Baseline});
    }
}

void CProfilePlot::DrawVerticalTicks(QPainter& painter, const GdiRect& area)
{
    const double minS = m_axisY.m_dMinScaled;
    const double maxS = m_axisY.m_dMaxScaled;
    for (double t : TickValues(m_axisY)) {
        if (!(minS < t && t < maxS))
            continue;
        const int py = m_geometry.ValueToPixelY(PlotFraction(t, minS, maxS));
        DrawGdiLine(painter, {area.left, py}, {area.right, py}, kGridColor);
        DrawGdiText(painter, area.left - m_nTextHeight / 2, py,
                    QString::fromStdString(FormatTickLabel(m_axisY, t)),
                    {TextH::Right, TextV::Baseline});
    }
}

// The curve fills the plot area edge to edge; an axis of one value maps to the centre line.
// The wide pen is kept inside the frame, which it would pass by a pixel at the edges.
void CProfilePlot::DrawCurve(QPainter& painter)
{
    painter.setClipRect(PlotArea().ToQRect());
    QPolygon points;
    points.reserve(static_cast<qsizetype>(m_profile.size()));
    for (const ProfilePoint& sample : m_profile) {
        const double u = PlotFraction(sample.m_dDistance, m_axisX.m_dCurveMin, m_axisX.m_dCurveMax);
        const double v = PlotFraction(sample.m_dHeight, m_axisY.m_dCurveMin, m_axisY.m_dCurveMax);
        points.append(QPoint(m_geometry.ValueToPixelX(u), m_geometry.ValueToPixelY(v)));
    }
    painter.setPen(QPen(ToQColor(m_desc.m_crColor), m_desc.m_nPenWidth, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(points);
}
