#include "imaging/colour/nclx_profile.hpp"

#include <lcms2.h>

#include <memory>

namespace platform::colour {

namespace {

constexpr std::uint16_t kBt709 = 1, kUnspecified = 2, kSrgbCurve = 13;

// Little CMS's parametric curve of the transfer: type 4 is
// Y = (aX + b)^g for X >= d, cX below; type 1 a pure gamma.
cmsToneCurve* CurveFor(std::uint16_t transfer) {
    switch (transfer) {
        case 1:
        case 6:
        case 14:
        case 15: {
            const cmsFloat64Number bt709[] = {1 / 0.45, 1 / 1.099, 0.099 / 1.099, 1 / 4.5, 0.081};
            return cmsBuildParametricToneCurve(nullptr, 4, bt709);
        }
        case 4:
        case 5:
        case 8: {
            const cmsFloat64Number gamma[] = {transfer == 4 ? 2.2 : transfer == 5 ? 2.8 : 1.0};
            return cmsBuildParametricToneCurve(nullptr, 1, gamma);
        }
        default: {
            const cmsFloat64Number srgb[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
            return cmsBuildParametricToneCurve(nullptr, 4, srgb);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> ProfileFor(const heif::ColourDescription& c) {
    const bool srgbPrimaries = c.primaries == kBt709 || c.primaries == kUnspecified;
    const bool srgbCurve = c.transfer == kSrgbCurve || c.transfer == kUnspecified;
    if (srgbPrimaries && srgbCurve) return {};
    // Unspecified primaries are BT.709's, as libheif fills them in.
    const cmsCIExyY white = {c.white[0], c.white[1], 1.0};
    const cmsCIExyYTRIPLE primaries = {
        {c.red[0], c.red[1], 1.0}, {c.green[0], c.green[1], 1.0}, {c.blue[0], c.blue[1], 1.0}};
    const std::unique_ptr<cmsToneCurve, decltype(&cmsFreeToneCurve)> curve(CurveFor(c.transfer),
                                                                           cmsFreeToneCurve);
    if (!curve) return {};
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> profile(
        cmsCreateRGBProfile(&white, &primaries, curves), cmsCloseProfile);
    if (!profile) return {};
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0) return {};
    std::vector<std::uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size)) return {};
    return bytes;
}

}  // namespace platform::colour
