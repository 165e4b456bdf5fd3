// The line profile: heights sampled along the segment between the document's first two
// selected points, and the two cursors [a] and [b] the user drags along it.
#pragma once

#include <cstddef>
#include <vector>

#include "image/ImagePoint.h"

class CSpmImage;

struct ProfilePoint {
    double m_dDistance = 0.0;  // from the segment's first point, in the image's XY unit
    double m_dHeight = 0.0;    // in the image's Z unit
};

// How many steps a profile takes along its segment: the larger side of the document's
// first image. Every image's profile uses the same count, so their samples pair up.
int ProfileStepCount(const CSpmImage& firstImage);

// steps - 1 samples of the image along the segment from p1 toward p2, each 1/steps of the
// segment further in both coordinates, truncated to whole points; sample 0 is p1 itself.
// Points outside the image are first brought to its nearest edge, so a segment kept from
// another view or from before a crop never reads outside the heights.
std::vector<ProfilePoint> SampleProfile(const CSpmImage& image, ImagePoint p1, ImagePoint p2,
                                        int steps);

// The sample under a cursor at `fraction` of the profile: sample trunc(count x fraction),
// kept within the samples; a profile without samples reads as distance and height 0.
ProfilePoint SampleUnderCursor(const std::vector<ProfilePoint>& profile, double fraction);

// Plot coordinates: -0.5..0.5 across the plot area in both directions, v upward.
struct PlotPoint {
    double u = 0.0;
    double v = 0.0;
};

// Plot coordinates of a mouse point in a client area of the given size (the plot's own
// mapping). A client too small to hold a plot area gives a point outside it.
PlotPoint MouseToPlot(int x, int y, int clientWidth, int clientHeight);

// The profile cursors of a document: fractions of the profile and whether a drag holds them.
struct ProfileCursors {
    double m_dCursorA = 0.25;
    double m_dCursorB = 0.75;
    int m_bCursorAGrabbed = 0;
    int m_bCursorBGrabbed = 0;
};

// True when the point lies within the plot's height and within 0.01 of either cursor.
bool IsOverProfileCursor(const PlotPoint& point, const ProfileCursors& cursors);

// A left press: within the plot's height, grabs [a] when the point lies within 0.01 of it,
// else [b] when within 0.01 of that; outside that band the grab flags stay. Returns true
// when a cursor is held afterwards.
bool GrabProfileCursor(const PlotPoint& point, ProfileCursors& cursors);

// A move with the left button held: a held cursor follows the point within the plot's
// width but never reaches or passes the other one. Returns how many cursors moved (each
// move is one update of the document's views).
int DragProfileCursors(const PlotPoint& point, ProfileCursors& cursors);
