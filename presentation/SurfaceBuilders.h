// The client-side arrays a view hands to OpenGL for one height image: vertices, normals,
// colours, triangle lists, the border walls and the grid lines. They only fill arrays.
//
// The point in row r, column c of an image of nx x ny points is the vertex
// (c s, r s, -(h - min) / (max - min)) with s = 100 / (max(nx, ny) - 1): the longer side
// spans 0..100, the lowest height lies at z = 0 and the highest at z = -1. Arrays are row by
// row, three floats per vertex; triangle lists are unsigned 32-bit indices. A flat image
// (range 0) is built with a range of 1. Images with fewer than two rows or columns have no
// cells: their normals point straight up, (0, 0, -1).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "presentation/PresentationConfig.h"

class CSpmImage;

using Vec3 = std::array<float, 3>;

// The unit normal of the triangle a, b, c: (b - a) x (c - a) divided by its length.
Vec3 CalcNormal(const Vec3& a, const Vec3& b, const Vec3& c);

// Vertices and per-vertex normals: each point takes the normal of the triangle it spans
// with its lower and lower-right neighbours; the last column and the last row repeat the
// normals next to them.
void BuildVertexNormalArrays(const CSpmImage& image, std::vector<float>& vertices,
                             std::vector<float>& normals);

// Smoothed normals: each inner point blends its own normal and its upper-left one (twice
// each) with its upper and left ones; the outer rows and columns repeat their inner
// neighbours. Images of fewer than 4 rows or columns keep their normals unsmoothed.
void SmoothNormalArray(const CSpmImage& image, std::span<const float> normals,
                       std::vector<float>& smoothed);

// Per-vertex colours (r, g, b in 0..1) of the image's heights through `table`: entry
// (h - min) x N / range, clamped into the table, the rule of the grid lines too, so that an
// image whose range is small in its unit still spans the whole table. An empty table gives
// black.
void BuildColorArray(const CSpmImage& image, std::vector<float>& colours,
                     std::span<const COLORREF> table);

// Two triangles per grid cell: i, i+nx, i+nx+1 and i, i+nx+1, i+1, cells row by row.
void BuildTriangleIndices(const CSpmImage& image, std::vector<std::uint32_t>& indices);

// Two triangles per step x step cell over rows and columns 0..(n/step - 1) x step; returns
// the number of indices (never negative: thin images give none). A step of 0 counts as 1.
std::size_t BuildCoarseTriangleIndices(unsigned step, const CSpmImage& image,
                                       std::vector<std::uint32_t>& indices);

// Side walls down to z = 0 as quads (8 (nx + ny) - 16 vertices: the first and last column,
// then the first and last row) and their outline as line pairs (4 (nx + ny) + 8 vertices:
// the wall tops, then the four vertical corner edges and the four base edges).
void BuildBorderArrays(const CSpmImage& image, std::vector<float>& walls,
                       std::vector<float>& lines);

// Grid lines along rows (X lines) on rows shift, shift + decimation + 1, ... below the last
// row, as segments between neighbouring points, each end coloured by the segment's first
// point through `table`. Returns the number of vertices (twice the segments). Negative
// decimations and shifts count as 0.
std::size_t BuildXLineArray(const CSpmImage& image, std::int16_t decimation, std::int16_t shift,
                            std::vector<float>& vertices, std::vector<float>& colours,
                            std::span<const COLORREF> table);
// The same along columns (Y lines).
std::size_t BuildYLineArray(const CSpmImage& image, std::int16_t decimation, std::int16_t shift,
                            std::vector<float>& vertices, std::vector<float>& colours,
                            std::span<const COLORREF> table);

// The surface of a Fourier-tool pane: as BuildVertexNormalArrays with the scale
// 100 / max(nx, ny), a grey (level - z) per vertex in `greys`, and the last column and row
// repeating the vertices, normals and greys next to them.
void BuildSurfaceArraysForDialog(const CSpmImage& image, std::vector<float>& vertices,
                                 std::vector<float>& normals, std::vector<float>& greys,
                                 float level);
