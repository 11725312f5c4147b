// The libheif decoder (see heif_decoder.hpp).
#include "imaging/decoding/heif_decoder.hpp"

#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <thread>

#include "imaging/decoding/picture_header.hpp"

namespace platform::heif {

namespace {

// One owner for each kind of libheif object, freed by its own function.
template <class T, auto Free>
struct Freed {
    void operator()(T* p) const { Free(p); }
};
template <class T, auto Free>
using Owned = std::unique_ptr<T, Freed<T, Free>>;
using Context = Owned<heif_context, heif_context_free>;
using Handle = Owned<heif_image_handle, heif_image_handle_release>;
using Image = Owned<heif_image, heif_image_release>;
using Nclx = Owned<heif_color_profile_nclx, heif_nclx_color_profile_free>;
using Options = Owned<heif_decoding_options, heif_decoding_options_free>;

// How YCbCr samples become RGB: the luma weights of red and blue (ITU-T H.273's matrix
// coefficients), or none for samples that are R, G and B already.
struct Matrix {
    double kr = 0, kb = 0;
    bool identity = false;
};

// The matrices this file converts by their H.273 codes; unspecified and reserved ones as BT.601,
// as libheif does.
std::optional<Matrix> MatrixFor(int code) {
    switch (code) {
        case 0:
            return Matrix{0, 0, true};
        case 1:
            return Matrix{0.2126, 0.0722};
        case 4:
            return Matrix{0.30, 0.11};
        case 2:
        case 3:
        case 5:
        case 6:
            return Matrix{0.299, 0.114};
        case 7:
            return Matrix{0.212, 0.087};
        case 9:
        case 10:
            return Matrix{0.2627, 0.0593};
        default:
            return std::nullopt;
    }
}

// One plane of the decoded image: 8-bit samples, or 16-bit words holding `bits` bits.
struct Plane {
    const std::uint8_t* data = nullptr;
    int stride = 0;
    int bits = 8;
    int shiftX = 0, shiftY = 0;  // chroma subsampling
    std::uint32_t At(int x, int y) const {
        const std::uint8_t* row = data + static_cast<std::ptrdiff_t>(y >> shiftY) * stride;
        if (bits <= 8) return row[x >> shiftX];
        return reinterpret_cast<const std::uint16_t*>(row)[x >> shiftX];
    }
};

// Fixed-point factors (16 fractional bits) from samples of a plane's depth to 8-bit R, G, B:
// the luma's offset and scale, the chroma's offset and their weights in each channel.
struct Factors {
    std::int32_t yOffset = 0, cOffset = 0;
    std::int64_t y = 0, crToR = 0, cbToG = 0, crToG = 0, cbToB = 0;
};

Factors FactorsFor(const Matrix& m, int bits, bool fullRange) {
    const double scale = std::ldexp(1.0, bits - 8);
    const double yRange = fullRange ? std::ldexp(1.0, bits) - 1 : 219 * scale;
    const double cRange = fullRange ? std::ldexp(1.0, bits) - 1 : 224 * scale;
    const double kg = 1 - m.kr - m.kb;
    const auto fixed = [](double v) { return static_cast<std::int64_t>(std::lround(v * 65536)); };
    Factors f;
    f.yOffset = fullRange ? 0 : static_cast<std::int32_t>(16 * scale);
    f.cOffset = static_cast<std::int32_t>(std::ldexp(1.0, bits - 1));
    f.y = fixed(255 / yRange);
    f.crToR = fixed(255 / cRange * 2 * (1 - m.kr));
    f.cbToB = fixed(255 / cRange * 2 * (1 - m.kb));
    f.cbToG = fixed(255 / cRange * 2 * m.kb * (1 - m.kb) / kg);
    f.crToG = fixed(255 / cRange * 2 * m.kr * (1 - m.kr) / kg);
    return f;
}

std::uint32_t Clamped(std::int64_t fixed) {
    const std::int64_t v = (fixed + 32768) >> 16;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 255));
}

// The decoded image's planes and how to turn them into 0xAARRGGBB.
struct Layout {
    Plane luma, cb, cr, alpha;
    bool monochrome = false, hasAlpha = false, premultiplied = false;
    Matrix matrix;
    Factors factors;
};

void ConvertRow(const Layout& l, int y, std::span<std::uint32_t> out) {
    const Factors& f = l.factors;
    const std::uint32_t alphaMax = (1u << l.alpha.bits) - 1;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int x = static_cast<int>(i);
        const std::int64_t luma = (static_cast<std::int64_t>(l.luma.At(x, y)) - f.yOffset) * f.y;
        std::uint32_t r = 0, g = 0, b = 0;
        if (l.monochrome) {
            r = g = b = Clamped(luma);
        } else if (l.matrix.identity) {  // G in the luma plane, B and R in the chroma planes
            g = Clamped(luma);
            b = Clamped((static_cast<std::int64_t>(l.cb.At(x, y)) - f.yOffset) * f.y);
            r = Clamped((static_cast<std::int64_t>(l.cr.At(x, y)) - f.yOffset) * f.y);
        } else {
            const std::int64_t cb = static_cast<std::int64_t>(l.cb.At(x, y)) - f.cOffset;
            const std::int64_t cr = static_cast<std::int64_t>(l.cr.At(x, y)) - f.cOffset;
            r = Clamped(luma + cr * f.crToR);
            g = Clamped(luma - cb * f.cbToG - cr * f.crToG);
            b = Clamped(luma + cb * f.cbToB);
        }
        std::uint32_t a = 255;
        if (l.hasAlpha) {
            a = (l.alpha.At(x, y) * 255 + alphaMax / 2) / alphaMax;
            if (!l.premultiplied) {
                r = (r * a + 127) / 255, g = (g * a + 127) / 255, b = (b * a + 127) / 255;
            } else {
                r = std::min(r, a), g = std::min(g, a), b = std::min(b, a);
            }
        }
        out[i] = a << 24 | r << 16 | g << 8 | b;
    }
}

bool Ok(const heif_error& e, std::string& problem) {
    if (e.code == heif_error_Ok) return true;
    problem = std::string("libheif: ") + (e.message ? e.message : "an error");
    return false;
}

}  // namespace

struct Decoder::State {
    std::vector<std::uint8_t> file;
    Context context;
    Handle handle;
    std::uint32_t width = 0, height = 0;
    bool alpha = false, rowsRead = false;
    std::vector<std::uint8_t> icc;
    std::optional<ColourDescription> colours;
    std::string problem;
};

Decoder::Decoder(std::vector<std::uint8_t> file) : state_(std::make_unique<State>()) {
    state_->file = std::move(file);
}

Decoder::~Decoder() = default;

Outcome Decoder::ReadHeader() {
    State& s = *state_;
    if (s.context) return Outcome::Failed;
    s.context.reset(heif_context_alloc());
    if (!s.context) {
        s.problem = "heif_context_alloc failed";
        return Outcome::Failed;
    }
    // libheif refuses a side from its limit on (a grid's) and beyond it (an ispe's): one more
    // than the budget's side. The pixels are checked below.
    heif_context_set_maximum_image_size_limit(s.context.get(),
                                              static_cast<int>(pictures::kMaxSide) + 1);
    // A grid's tiles (a phone's photo is 48 or more of them) are decoded on threads of libheif's
    // own, one a core; libde265 adds a worker of its own to each.
    heif_context_set_max_decoding_threads(
        s.context.get(), static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    heif_image_handle* handle = nullptr;
    if (!Ok(heif_context_read_from_memory_without_copy(s.context.get(), s.file.data(),
                                                       s.file.size(), nullptr),
            s.problem) ||
        !Ok(heif_context_get_primary_image_handle(s.context.get(), &handle), s.problem))
        return Outcome::Failed;
    s.handle.reset(handle);
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0 ||
        !pictures::WithinBudget(static_cast<std::uint32_t>(width),
                                static_cast<std::uint32_t>(height))) {
        s.problem = "refused: " + std::to_string(width) + "x" + std::to_string(height) +
                    " is beyond the decoding budget";
        return Outcome::Failed;
    }
    s.width = static_cast<std::uint32_t>(width);
    s.height = static_cast<std::uint32_t>(height);
    s.alpha = heif_image_handle_has_alpha_channel(handle) != 0;

    if (const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle); size > 0) {
        s.icc.resize(size);
        if (!Ok(heif_image_handle_get_raw_color_profile(handle, s.icc.data()), s.problem))
            s.icc.clear();
    } else {
        heif_color_profile_nclx* raw = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &raw).code == heif_error_Ok && raw) {
            const Nclx nclx(raw);
            ColourDescription c;
            c.red[0] = nclx->color_primary_red_x, c.red[1] = nclx->color_primary_red_y;
            c.green[0] = nclx->color_primary_green_x, c.green[1] = nclx->color_primary_green_y;
            c.blue[0] = nclx->color_primary_blue_x, c.blue[1] = nclx->color_primary_blue_y;
            c.white[0] = nclx->color_primary_white_x, c.white[1] = nclx->color_primary_white_y;
            c.primaries = static_cast<std::uint16_t>(nclx->color_primaries);
            c.transfer = static_cast<std::uint16_t>(nclx->transfer_characteristics);
            s.colours = c;
        }
    }
    s.problem.clear();
    return Outcome::Done;
}

std::uint32_t Decoder::Width() const {
    return state_->width;
}
std::uint32_t Decoder::Height() const {
    return state_->height;
}
bool Decoder::HasAlpha() const {
    return state_->alpha;
}
const std::vector<std::uint8_t>& Decoder::IccProfile() const {
    return state_->icc;
}
const std::optional<ColourDescription>& Decoder::Colours() const {
    return state_->colours;
}
const std::string& Decoder::Problem() const {
    return state_->problem;
}

Outcome Decoder::ReadRows(pictures::RowSink& sink) {
    State& s = *state_;
    if (!s.handle || s.rowsRead) return Outcome::Failed;
    s.rowsRead = true;
    // The planes as decoded (no conversion of libheif's, which would hold an RGB copy beside
    // them), with the file's turns, mirrors and crop applied.
    const Options options(heif_decoding_options_alloc());
    heif_image* decoded = nullptr;
    if (!Ok(heif_decode_image(s.handle.get(), &decoded, heif_colorspace_undefined,
                              heif_chroma_undefined, options.get()),
            s.problem))
        return Outcome::Failed;
    const Image image(decoded);

    Layout layout;
    const heif_colorspace space = heif_image_get_colorspace(decoded);
    const heif_chroma chroma = heif_image_get_chroma_format(decoded);
    const bool ycbcr =
        space == heif_colorspace_YCbCr &&
        (chroma == heif_chroma_420 || chroma == heif_chroma_422 || chroma == heif_chroma_444);
    const bool rgb = space == heif_colorspace_RGB && chroma == heif_chroma_444;
    layout.monochrome = space == heif_colorspace_monochrome;
    if (!ycbcr && !rgb && !layout.monochrome) {
        s.problem = "a pixel layout the frame does not convert";
        return Outcome::Failed;
    }
    const auto plane = [&](heif_channel channel, Plane& p) {
        if (!heif_image_has_channel(decoded, channel)) return false;
        p.data = heif_image_get_plane_readonly(decoded, channel, &p.stride);
        p.bits = heif_image_get_bits_per_pixel_range(decoded, channel);
        const int w = heif_image_get_width(decoded, channel);
        const int h = heif_image_get_height(decoded, channel);
        const int fullW = heif_image_get_primary_width(decoded);
        const int fullH = heif_image_get_primary_height(decoded);
        p.shiftX = w < fullW ? 1 : 0;
        p.shiftY = h < fullH ? 1 : 0;
        return p.data != nullptr && p.bits >= 1 && p.bits <= 16 &&
               w >= (fullW + p.shiftX) >> p.shiftX && h >= (fullH + p.shiftY) >> p.shiftY;
    };
    const bool planes =
        rgb ? plane(heif_channel_G, layout.luma) && plane(heif_channel_B, layout.cb) &&
                  plane(heif_channel_R, layout.cr)
            : plane(heif_channel_Y, layout.luma) &&
                  (layout.monochrome ||
                   (plane(heif_channel_Cb, layout.cb) && plane(heif_channel_Cr, layout.cr)));
    if (!planes || (!layout.monochrome &&
                    (layout.cb.bits != layout.luma.bits || layout.cr.bits != layout.luma.bits))) {
        s.problem = "the decoded image lacks a plane or mixes depths";
        return Outcome::Failed;
    }
    layout.hasAlpha = plane(heif_channel_Alpha, layout.alpha);
    layout.premultiplied = heif_image_is_premultiplied_alpha(decoded) != 0;

    int matrixCode = 6;
    bool fullRange = true;
    heif_color_profile_nclx* raw = nullptr;
    if (heif_image_get_nclx_color_profile(decoded, &raw).code == heif_error_Ok && raw) {
        const Nclx nclx(raw);
        matrixCode = nclx->matrix_coefficients;
        fullRange = nclx->full_range_flag != 0;
    }
    const std::optional<Matrix> matrix = rgb ? Matrix{0, 0, true} : MatrixFor(matrixCode);
    if (!matrix) {
        s.problem = "matrix coefficients " + std::to_string(matrixCode) + " are not converted";
        return Outcome::Failed;
    }
    layout.matrix = *matrix;
    // Samples stored as R, G and B use the luma's offset and scale for each.
    layout.factors = FactorsFor(*matrix, layout.luma.bits, fullRange || matrix->identity);

    // The size the frame was given, and the budget checked, must be the size that came.
    const int width = heif_image_get_primary_width(decoded);
    const int height = heif_image_get_primary_height(decoded);
    if (width != static_cast<int>(s.width) || height != static_cast<int>(s.height)) {
        s.problem = "decoded at " + std::to_string(width) + "x" + std::to_string(height) +
                    ", not the size its header gives";
        return Outcome::Failed;
    }
    if (!sink.Begin(width, height, pictures::kUpright)) {
        s.problem = "the picture's receiver refused its size";
        return Outcome::Failed;
    }
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        ConvertRow(layout, y, row);
        sink.Row(row);
    }
    return Outcome::Done;
}

}  // namespace platform::heif
