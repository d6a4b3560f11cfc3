#pragma once
#include "platform/HdrImage.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// Error metrics between a reference image and a test image of the same size, as orvanta-compare
// prints them; kept apart from the tool so that tests and scripts built on it use the same code.

// A tone-mapped (display) picture: RGBA8, row 0 at the top, as readPng returns it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// The constant under the relative error's denominator: keeps black reference pixels from
// dividing by zero and weighs errors below about 0.1 as absolute rather than relative ones.
inline constexpr double kRelativeErrorEpsilon = 0.01;

// Mean over pixels and channels of (t - r)^2 / (r^2 + 0.01) on the linear HDR images.
double relativeMse(const HdrImage& reference, const HdrImage& test);

// Mean luminance (Rec. 709 weights) of a linear image: the light it holds, for telling an image
// that is too bright or too dark overall from one that is only noisy.
double meanLuminance(const HdrImage& image);

// Peak signal-to-noise ratio in dB of the pictures' R, G and B (values / 255, peak 1); infinite
// for identical pictures.
double psnr(const Picture& reference, const Picture& test);

// Structural similarity of the pictures' luma, with the conventions of Wang et al. as pyssim
// (Debian's python3-pyssim) implements them: luma as PIL's convert("L") makes it (ITU-R 601-2
// weights, (R*19595 + G*38470 + B*7471 + 32768) >> 16, alpha ignored), values 0..255 (L = 255);
// an 11-tap Gaussian window of sigma 1.5, normalised, applied separably over the whole picture
// with borders mirrored (scipy's "reflect": d c b a | a b c d | d c b a); K1 = 0.01, K2 = 0.03;
// the mean of the SSIM map over every pixel, borders included.
double ssim(const Picture& reference, const Picture& test);

// The share (0..1) of the pictures' pixels of which R, G or B differs by more than `levels`
// (of 255): counts the pixels a change moves visibly, however small its effect on the mean.
double shareOfPixelsOff(const Picture& reference, const Picture& test, int levels);
// The picture comparison's default `levels`: rounding differences in the rasteriser's arithmetic
// move pixels by 1 to 3 levels for the most part (llvmpipe without SIMD against with it: 19 % of
// the start view's pixels by more than 1 level, 8 % by more than 3, 0.3 % by more than 8), and a
// change of up to 3 levels is hard to see.
inline constexpr int kDefaultLevelsOff = 3;

// The picture's luma as ssim uses it, one value 0..255 a pixel.
std::vector<double> pictureLuma(const Picture& picture);

// Per-pixel errors for the heat map, one value a pixel (row 0 at the top): the relative squared
// error of the HDR images averaged over R, G and B (the pixel's share of relativeMse), and the
// squared error of the pictures' R, G and B (values / 255) averaged likewise (of psnr's MSE).
std::vector<double> relativeSquaredErrorPerPixel(const HdrImage& reference, const HdrImage& test);
std::vector<double> squaredErrorPerPixel(const Picture& reference, const Picture& test);

// The heat map's colour ramp: log10 of the error from 1e-4 (black) through blue, magenta, red and
// yellow to 1 and above (white); 0 is black.
inline constexpr double kHeatMapLowest = 1e-4;
void heatMapColor(double error, uint8_t rgb[3]);
// A heat map of per-pixel errors as an RGBA8 picture.
Picture heatMap(int width, int height, const std::vector<double>& errors);

}  // namespace Orvanta
