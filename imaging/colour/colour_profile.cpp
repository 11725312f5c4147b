#include "imaging/colour/colour_profile.hpp"

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace platform::colour {

namespace {

// 0xAARRGGBB pixels in memory on the little-endian machines the program runs on: B, G, R, A.
// Alpha is carried over as it is. The transforms take straight colour: the kept rows'
// premultiplied colour is divided out before and multiplied in after (Straightened), as Little
// CMS 2.14's premultiplied 8-bit formats came out wrong here.
constexpr cmsUInt32Number kPixelFormat = TYPE_BGRA_8;
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA;

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::shared_ptr<void>;

Profile Srgb() {
    return Profile(cmsCreate_sRGBProfile());
}

// The profile whose bytes these are, when Little CMS reads it as a profile of `space` (RGB
// unless said) that it can convert from or to; why not otherwise.
Profile Opened(std::span<const std::uint8_t> bytes, std::string& problem,
               cmsColorSpaceSignature space = cmsSigRgbData) {
    Profile p(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (!p) {
        problem = "Little CMS cannot read the profile";
        return nullptr;
    }
    if (cmsGetColorSpace(p.get()) != space) {
        problem =
            space == cmsSigRgbData ? "the profile is not for RGB" : "the profile is not for CMYK";
        return nullptr;
    }
    const cmsProfileClassSignature kind = cmsGetDeviceClass(p.get());
    if (kind != cmsSigInputClass && kind != cmsSigDisplayClass && kind != cmsSigOutputClass &&
        kind != cmsSigColorSpaceClass) {
        problem = "the profile is not one a picture is stored in";
        return nullptr;
    }
    return p;
}

Transform Between(void* from, void* to, cmsUInt32Number fromFormat = kPixelFormat,
                  cmsUInt32Number flags = kFlags) {
    void* t = cmsCreateTransform(from, fromFormat, to, kPixelFormat, INTENT_PERCEPTUAL, flags);
    if (!t) return nullptr;
    return Transform(t, cmsDeleteTransform);
}

// Whether a transform to sRGB leaves every colour of a coarse grid within 2 levels: the
// profile then describes sRGB, whoever made it.
bool KeepsColours(void* toSrgb) {
    constexpr std::array<std::uint8_t, 6> kLevels = {0, 51, 102, 153, 204, 255};
    std::array<std::uint8_t, std::size_t{4} * 216> in{}, out{};
    std::size_t i = 0;
    for (auto r : kLevels)
        for (auto g : kLevels)
            for (auto b : kLevels) {
                in[i] = b, in[i + 1] = g, in[i + 2] = r, in[i + 3] = 255;
                i += 4;
            }
    cmsDoTransform(toSrgb, in.data(), out.data(), 216);
    for (std::size_t k = 0; k < in.size(); ++k)
        if (std::abs(int{in[k]} - int{out[k]}) > 2) return false;
    return true;
}

// Runs `transform` on premultiplied 0xAARRGGBB pixels as on their straight colour: a pixel
// that is not opaque is divided by its alpha first and multiplied by it after, so that a soft
// edge is converted as the colour it shows and no channel passes its alpha.
void Straightened(void* transform, std::vector<std::uint32_t>& pixels) {
    for (std::uint32_t& p : pixels) {
        const std::uint32_t a = p >> 24;
        if (a == 255 || a == 0) continue;
        const auto up = [a](std::uint32_t v) {
            return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a);
        };
        p = a << 24 | up(p >> 16 & 255) << 16 | up(p >> 8 & 255) << 8 | up(p & 255);
    }
    cmsDoTransform(transform, pixels.data(), pixels.data(),
                   static_cast<cmsUInt32Number>(pixels.size()));
    for (std::uint32_t& p : pixels) {
        const std::uint32_t a = p >> 24;
        if (a == 255) continue;
        const auto down = [a](std::uint32_t v) { return (v * a + 127) / 255; };
        p = a << 24 | down(p >> 16 & 255) << 16 | down(p >> 8 & 255) << 8 | down(p & 255);
    }
}

// A display profile's key among the transforms kept: its bytes' FNV-1a hash.
std::uint64_t KeyOf(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 14695981039346656037u;
    for (const std::uint8_t b : bytes) h = (h ^ b) * 1099511628211u;
    return h;
}

}  // namespace

struct Conversion::Handles {
    Profile picture;
    // Transforms by the display profile's key (that of no bytes: sRGB).
    std::map<std::uint64_t, Transform> byDisplay;
};

Conversion::Conversion(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
Conversion::~Conversion() = default;

Judged Judge(std::span<const std::uint8_t> profile) {
    if (profile.empty()) return {};
    Judged judged;
    auto handles = std::make_unique<Conversion::Handles>();
    handles->picture = Opened(profile, judged.problem);
    if (!handles->picture) return judged;
    // Building the transform reads the tags it needs: a profile whose tags Little CMS cannot
    // use fails here.
    const Profile srgb = Srgb();
    Transform toSrgb = Between(handles->picture.get(), srgb.get());
    if (!toSrgb) {
        judged.problem = "Little CMS cannot convert from the profile";
        return judged;
    }
    if (KeepsColours(toSrgb.get())) return judged;
    // The transform to sRGB is the one an sRGB display needs: kept for the first paint.
    handles->byDisplay.emplace(KeyOf({}), std::move(toSrgb));
    judged.conversion.reset(new Conversion(std::move(handles)));
    return judged;
}

std::string Conversion::Apply(pictures::Bitmap& bitmap, std::span<const std::uint8_t> display) {
    std::string problem;
    const std::uint64_t key = KeyOf(display);
    auto it = handles_->byDisplay.find(key);
    if (it == handles_->byDisplay.end()) {
        const Profile target = Opened(display, problem);
        Transform t;
        if (target) {
            // An sRGB display (Windows' own sRGB file, which Wine reports for every display)
            // needs no transform of its own.
            const Profile srgb = Srgb();
            const Transform toSrgb = Between(target.get(), srgb.get());
            if (!toSrgb || !KeepsColours(toSrgb.get())) {
                t = Between(handles_->picture.get(), target.get());
                if (!t) problem = "Little CMS cannot convert to the display's profile";
            }
        }
        // An sRGB display, and one whose profile cannot be used, takes the transform to sRGB
        // that the judging kept.
        if (!t) t = handles_->byDisplay.at(KeyOf({}));
        it = handles_->byDisplay.emplace(key, std::move(t)).first;
    }
    Straightened(it->second.get(), bitmap.pixels);
    return problem;
}

CmykRows::CmykRows(std::shared_ptr<void> transform) : transform_(std::move(transform)) {}
CmykRows::~CmykRows() = default;

std::unique_ptr<CmykRows> JudgeCmyk(std::span<const std::uint8_t> profile, bool inverted,
                                    std::string& problem) {
    const Profile cmyk = Opened(profile, problem, cmsSigCmykData);
    if (!cmyk) return nullptr;
    const Profile srgb = Srgb();
    // No alpha comes in: the output's is set after each row.
    Transform t = Between(cmyk.get(), srgb.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8,
                          cmsFLAGS_BLACKPOINTCOMPENSATION);
    if (!t) {
        problem = "Little CMS cannot convert from the profile";
        return nullptr;
    }
    return std::unique_ptr<CmykRows>(new CmykRows(std::move(t)));
}

void CmykRows::Convert(const std::uint8_t* cmyk, std::span<std::uint32_t> out) const {
    cmsDoTransform(transform_.get(), cmyk, out.data(), static_cast<cmsUInt32Number>(out.size()));
    for (std::uint32_t& p : out) p |= 0xFF000000u;
}

}  // namespace platform::colour
