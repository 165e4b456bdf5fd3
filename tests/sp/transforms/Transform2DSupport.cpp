#include "Transform2DSupport.h"

#include <cstring>

namespace sptest {

Image::Image(int w, int h, int stepBytes)
    : width(w), height(h), step(stepBytes),
      bytes(static_cast<size_t>(stepBytes) * static_cast<size_t>(h - 1) + 8 * static_cast<size_t>(w) + 16,
            kGapPattern)
{
}

spComplex& Image::at(int x, int y)
{
    return *reinterpret_cast<spComplex*>(bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(step) +
                                         8 * static_cast<size_t>(x));
}

const spComplex& Image::at(int x, int y) const { return const_cast<Image*>(this)->at(x, y); }

bool Image::GapsUntouched() const
{
    std::vector<bool> inside(bytes.size(), false);
    for (int y = 0; y < height; ++y)
        for (size_t b = 0; b < 8 * static_cast<size_t>(width); ++b)
            inside[static_cast<size_t>(y) * static_cast<size_t>(step) + b] = true;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!inside[i] && bytes[i] != kGapPattern)
            return false;
    return true;
}

Signal Image::Values() const
{
    Signal v;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v.push_back(at(x, y));
    return v;
}

Image RandomImage(int w, int h, int stepBytes, unsigned seed)
{
    Image image(w, h, stepBytes);
    const Signal values = RandomSignal(static_cast<std::int64_t>(w) * h, seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y) = values[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    return image;
}

namespace {

// In-place long-double DFT of `n` values at `data` spaced `stride` apart.
void ExactLine(std::complex<long double>* data, int n, int stride, bool inverse)
{
    const Exact roots = Roots(n);
    Exact out(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        std::complex<long double> sum = 0;
        for (int j = 0; j < n; ++j) {
            const auto w = roots[static_cast<size_t>((static_cast<std::int64_t>(j) * k) % n)];
            sum += data[j * stride] * (inverse ? std::conj(w) : w);
        }
        out[static_cast<size_t>(k)] = sum;
    }
    for (int k = 0; k < n; ++k)
        data[k * stride] = out[static_cast<size_t>(k)];
}

} // namespace

Exact Oracle2D(const Image& image, bool inverse)
{
    const int w = image.width, h = image.height;
    Exact a(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            a[static_cast<size_t>(y * w + x)] = {image.at(x, y).re, image.at(x, y).im};
    for (int y = 0; y < h; ++y)
        ExactLine(&a[static_cast<size_t>(y * w)], w, 1, inverse);
    for (int x = 0; x < w; ++x)
        ExactLine(&a[static_cast<size_t>(x)], h, w, inverse);
    return a;
}

} // namespace sptest
