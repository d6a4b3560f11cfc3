#include "ImageMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Orvanta {

namespace {

// SSIM's window and constants (Wang et al. 2004, and pyssim's defaults).
constexpr int kSsimWindowTaps = 11;
constexpr double kSsimWindowSigma = 1.5;
constexpr double kSsimK1 = 0.01;
constexpr double kSsimK2 = 0.03;
constexpr double kSsimPeak = 255.0;

std::vector<double> gaussianWindow()
{
    std::vector<double> weights(kSsimWindowTaps);
    const int centre = kSsimWindowTaps / 2;
    double sum = 0.0;
    for (int i = 0; i < kSsimWindowTaps; ++i) {
        const double d = i - centre;
        weights[size_t(i)] = std::exp(-(d * d) / (2.0 * kSsimWindowSigma * kSsimWindowSigma));
        sum += weights[size_t(i)];
    }
    for (double& w : weights)
        w /= sum;
    return weights;
}

// scipy.ndimage's "reflect" border: the edge sample is repeated (d c b a | a b c d | d c b a),
// for any distance outside, also beyond a whole image width.
int reflectIndex(int i, int size)
{
    const int period = 2 * size;
    int m = i % period;
    if (m < 0)
        m += period;
    return m < size ? m : period - 1 - m;
}

// The Gaussian-weighted local mean of a plane: down the columns, then along the rows (the order
// of pyssim's two correlate1d calls).
std::vector<double> blur(const std::vector<double>& plane, int width, int height, const std::vector<double>& window)
{
    const int centre = kSsimWindowTaps / 2;
    std::vector<double> columns(plane.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (int k = 0; k < kSsimWindowTaps; ++k)
                sum += window[size_t(k)] * plane[size_t(reflectIndex(y + k - centre, height)) * width + x];
            columns[size_t(y) * width + x] = sum;
        }
    std::vector<double> result(plane.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (int k = 0; k < kSsimWindowTaps; ++k)
                sum += window[size_t(k)] * columns[size_t(y) * width + reflectIndex(x + k - centre, width)];
            result[size_t(y) * width + x] = sum;
        }
    return result;
}

}  // namespace

double relativeMse(const HdrImage& reference, const HdrImage& test)
{
    const size_t count = std::min(reference.rgb.size(), test.rgb.size());
    if (count == 0)
        return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double r = reference.rgb[i];
        const double d = double(test.rgb[i]) - r;
        sum += d * d / (r * r + kRelativeErrorEpsilon);
    }
    return sum / double(count);
}

double meanLuminance(const HdrImage& image)
{
    const size_t pixels = image.rgb.size() / 3;
    if (pixels == 0)
        return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < pixels; ++i)
        sum += 0.2126 * image.rgb[i * 3] + 0.7152 * image.rgb[i * 3 + 1] + 0.0722 * image.rgb[i * 3 + 2];
    return sum / double(pixels);
}

double psnr(const Picture& reference, const Picture& test)
{
    const size_t pixels = std::min(reference.rgba.size(), test.rgba.size()) / 4;
    if (pixels == 0)
        return 0.0;
    double sum = 0.0;
    for (size_t p = 0; p < pixels; ++p)
        for (size_t c = 0; c < 3; ++c) {
            const double d = (double(test.rgba[p * 4 + c]) - double(reference.rgba[p * 4 + c])) / 255.0;
            sum += d * d;
        }
    const double mse = sum / double(pixels * 3);
    if (mse == 0.0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(1.0 / mse);
}

double shareOfPixelsOff(const Picture& reference, const Picture& test, int levels)
{
    const size_t pixels = std::min(reference.rgba.size(), test.rgba.size()) / 4;
    if (pixels == 0)
        return 0.0;
    size_t off = 0;
    for (size_t p = 0; p < pixels; ++p)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(test.rgba[p * 4 + c]) - int(reference.rgba[p * 4 + c])) > levels) {
                ++off;
                break;
            }
    return double(off) / double(pixels);
}

std::vector<double> pictureLuma(const Picture& picture)
{
    const size_t pixels = size_t(picture.width) * size_t(picture.height);
    std::vector<double> luma(pixels);
    for (size_t p = 0; p < pixels; ++p) {
        const uint32_t r = picture.rgba[p * 4], g = picture.rgba[p * 4 + 1], b = picture.rgba[p * 4 + 2];
        luma[p] = double((r * 19595u + g * 38470u + b * 7471u + 0x8000u) >> 16);
    }
    return luma;
}

double ssim(const Picture& reference, const Picture& test)
{
    const int width = reference.width, height = reference.height;
    if (width <= 0 || height <= 0 || test.width != width || test.height != height)
        return 0.0;
    const std::vector<double> window = gaussianWindow();
    const std::vector<double> x = pictureLuma(reference);
    const std::vector<double> y = pictureLuma(test);
    std::vector<double> xx(x.size()), yy(x.size()), xy(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        xx[i] = x[i] * x[i];
        yy[i] = y[i] * y[i];
        xy[i] = x[i] * y[i];
    }
    const std::vector<double> muX = blur(x, width, height, window);
    const std::vector<double> muY = blur(y, width, height, window);
    const std::vector<double> meanXX = blur(xx, width, height, window);
    const std::vector<double> meanYY = blur(yy, width, height, window);
    const std::vector<double> meanXY = blur(xy, width, height, window);
    const double c1 = (kSsimK1 * kSsimPeak) * (kSsimK1 * kSsimPeak);
    const double c2 = (kSsimK2 * kSsimPeak) * (kSsimK2 * kSsimPeak);
    double sum = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double varianceX = meanXX[i] - muX[i] * muX[i];
        const double varianceY = meanYY[i] - muY[i] * muY[i];
        const double covariance = meanXY[i] - muX[i] * muY[i];
        sum += ((2.0 * muX[i] * muY[i] + c1) * (2.0 * covariance + c2)) /
               ((muX[i] * muX[i] + muY[i] * muY[i] + c1) * (varianceX + varianceY + c2));
    }
    return sum / double(x.size());
}

std::vector<double> relativeSquaredErrorPerPixel(const HdrImage& reference, const HdrImage& test)
{
    const size_t pixels = std::min(reference.rgb.size(), test.rgb.size()) / 3;
    std::vector<double> errors(pixels);
    for (size_t p = 0; p < pixels; ++p) {
        double sum = 0.0;
        for (size_t c = 0; c < 3; ++c) {
            const double r = reference.rgb[p * 3 + c];
            const double d = double(test.rgb[p * 3 + c]) - r;
            sum += d * d / (r * r + kRelativeErrorEpsilon);
        }
        errors[p] = sum / 3.0;
    }
    return errors;
}

std::vector<double> squaredErrorPerPixel(const Picture& reference, const Picture& test)
{
    const size_t pixels = std::min(reference.rgba.size(), test.rgba.size()) / 4;
    std::vector<double> errors(pixels);
    for (size_t p = 0; p < pixels; ++p) {
        double sum = 0.0;
        for (size_t c = 0; c < 3; ++c) {
            const double d = (double(test.rgba[p * 4 + c]) - double(reference.rgba[p * 4 + c])) / 255.0;
            sum += d * d;
        }
        errors[p] = sum / 3.0;
    }
    return errors;
}

void heatMapColor(double error, uint8_t rgb[3])
{
    // Stops at even steps of the ramp's position.
    static constexpr double kStops[6][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
    double t = 0.0;
    if (error > kHeatMapLowest)
        t = std::min(1.0, std::log10(error / kHeatMapLowest) / -std::log10(kHeatMapLowest));
    else if (!(error >= 0.0))
        t = 1.0;  // NaN: as bad as it gets
    const double position = t * 5.0;
    const int stop = std::min(4, int(position));
    const double f = position - stop;
    for (int c = 0; c < 3; ++c)
        rgb[c] = uint8_t(std::lround(255.0 * (kStops[stop][c] * (1.0 - f) + kStops[stop + 1][c] * f)));
}

Picture heatMap(int width, int height, const std::vector<double>& errors)
{
    Picture map;
    map.width = width;
    map.height = height;
    map.rgba.assign(size_t(width) * size_t(height) * 4, 255);
    for (size_t p = 0; p < errors.size() && p < size_t(width) * size_t(height); ++p)
        heatMapColor(errors[p], &map.rgba[p * 4]);
    return map;
}

}  // namespace Orvanta
