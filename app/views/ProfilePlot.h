// One height profile drawn into a rectangle: the framed plot area with the band between
// the cursors, grid lines with tick labels, axis labels, the curve and the readouts. The
// first image's plot draws everything; a second image's only adds its curve and readout
// line over it, scaled to its own ranges.
#pragma once

#include <QFont>
#include <QString>

#include <array>
#include <span>
#include <string>

#include "app/draw/GdiPainter.h"
#include "presentation/ProfileCurves.h"
#include "presentation/ProfilePlotMath.h"

class CProfilePlot {
public:
    CProfilePlot(std::span<const ProfilePoint> profile, QString xLabel, QString yLabel,
                 const ProfilePlotDesc& desc);

    void Draw(QPainter& painter, const GdiRect& rc);
    void DrawCompact(QPainter& painter, const GdiRect& rc);

private:
    void SetGeometry(const GdiRect& rc);
    GdiRect PlotArea() const;
    void DrawCursorBand(QPainter& painter, const GdiRect& area);
    void DrawReadout(QPainter& painter, int baseline, const QString& head,
                     const std::array<std::string, 3>& readouts);
    void DrawHorizontalTicks(QPainter& painter, const GdiRect& area);
    void DrawVerticalTicks(QPainter& painter, const GdiRect& area);
    void DrawCurve(QPainter& painter);

    std::span<const ProfilePoint> m_profile;
    QString m_strXLabel;
    QString m_strYLabel;
    ProfilePlotDesc m_desc;
    PlotGeometry m_geometry;
    PlotAxis m_axisX;
    PlotAxis m_axisY;
    QFont m_fontLabel;
    int m_nTextHeight = 0;
};
