// Every format Windows' own decoders know (WIC), and the JPEGs libjpeg-turbo declines: the
// frame's rows copied in strips.
#include <wincodec.h>

#include <algorithm>
#include <span>
#include <vector>

#include "imaging/colour/icc_chunks.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"
#include "platform/win32/decoding/wic_factory.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

namespace {

// Rows WIC decodes and hands over in one go: memory for a strip, not for the picture.
constexpr std::uint32_t kStripRows = 64;

// The pixel layouts whose rows this file turns into premultiplied 0xAARRGGBB itself, faster
// than a format converter that goes through an intermediate format.
enum class Layout : std::uint8_t { Bgr24, Bgrx32, Pbgra32, Bgra32, Gray8, Other };

Layout LayoutOf(const WICPixelFormatGUID& format) {
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return Layout::Bgr24;
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return Layout::Bgrx32;
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppPBGRA)) return Layout::Pbgra32;
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) return Layout::Bgra32;
    if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray)) return Layout::Gray8;
    return Layout::Other;
}

UINT BytesPerPixel(Layout layout) {
    switch (layout) {
        case Layout::Bgr24:
            return 3;
        case Layout::Gray8:
            return 1;
        default:
            return 4;
    }
}

std::uint32_t Premultiplied(std::uint32_t c) {
    const std::uint32_t a = c >> 24;
    if (a == 255) return c;
    const auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (mul((c >> 16) & 0xFF) << 16) | (mul((c >> 8) & 0xFF) << 8) | mul(c & 0xFF);
}

// One row of `layout` pixels as premultiplied 0xAARRGGBB.
void ToPremultiplied(Layout layout, const BYTE* in, std::span<std::uint32_t> out) {
    switch (layout) {
        case Layout::Bgr24:
            for (std::uint32_t& o : out) {
                o = 0xFF000000u | std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 |
                    std::uint32_t{in[2]} << 16;
                in += 3;
            }
            break;
        case Layout::Gray8:
            for (std::uint32_t& o : out) o = 0xFF000000u | std::uint32_t{*in++} * 0x010101u;
            break;
        case Layout::Bgrx32:
        case Layout::Pbgra32:
        case Layout::Bgra32:
        case Layout::Other:
            for (std::uint32_t& o : out) {
                std::uint32_t c = std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 |
                                  std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
                in += 4;
                if (layout == Layout::Bgrx32) c |= 0xFF000000u;
                if (layout == Layout::Bgra32) c = Premultiplied(c);
                o = c;
            }
            break;
    }
}

// The ICC profile a WIC frame embeds (a PNG's iCCP chunk, a TIFF's tag 34675, whatever the
// format's decoder gives as its first colour context), checked as bytes; empty without one.
icc::Embedded WicProfile(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame) {
    UINT count = 0;
    // A decoder without colour contexts says so with an error: no profile, nothing to report.
    if (FAILED(frame->GetColorContexts(0, nullptr, &count)) || count == 0) return {};
    std::vector<ComPtr<IWICColorContext>> owned(count);
    std::vector<IWICColorContext*> contexts(count);
    for (UINT i = 0; i < count; ++i) {
        if (const HRESULT hr = factory->CreateColorContext(owned[i].Out()); FAILED(hr)) {
            FailedCall("IWICImagingFactory::CreateColorContext", hr);
            return {};
        }
        contexts[i] = owned[i].Get();
    }
    if (const HRESULT hr = frame->GetColorContexts(count, contexts.data(), &count); FAILED(hr)) {
        FailedCall("IWICBitmapFrameDecode::GetColorContexts", hr);
        return {};
    }
    WICColorContextType type{};
    UINT size = 0;
    if (FAILED(contexts[0]->GetType(&type)) || type != WICColorContextProfile ||
        FAILED(contexts[0]->GetProfileBytes(0, nullptr, &size)) || size == 0)
        return {};
    if (size > icc::kMaxProfileBytes) return {{}, "the profile is beyond the budget"};
    std::vector<std::uint8_t> bytes(size);
    if (const HRESULT hr = contexts[0]->GetProfileBytes(size, bytes.data(), &size); FAILED(hr)) {
        FailedCall("IWICColorContext::GetProfileBytes", hr);
        return {};
    }
    bytes.resize(std::min<std::size_t>(size, bytes.size()));
    return icc::Checked(std::move(bytes));
}

class WicDecoder final : public PictureDecoder {
  public:
    explicit WicDecoder(const OpenedFile& file) : PictureDecoder(file.path) {
        orientation_ = file.orientation;
    }

    bool Open(IStream* stream, std::uint32_t frameIndex, bool knownFormat, bool checkPixels);
    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink) override;

  private:
    // WIC's CMYK formats are converted by WIC, without the profile.
    std::string TakeCmykProfile(const std::vector<std::uint8_t>&) override {
        return "WIC converts its CMYK";
    }

    ComPtr<IWICBitmapDecoder> decoder_;
    ComPtr<IWICBitmapFrameDecode> frame_;
    ComPtr<IWICFormatConverter> converter_;
    WICPixelFormatGUID frameFormat_{};
};

bool WicDecoder::Open(IStream* stream, std::uint32_t frameIndex, bool knownFormat,
                      bool checkPixels) {
    ComPtr<IWICImagingFactory> factory = WicFactory();
    if (!factory) return Report("no WIC imaging factory");
    HRESULT hr = factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                  decoder_.Out());
    if (FAILED(hr)) return FailedCall("IWICImagingFactory::CreateDecoderFromStream", hr);
    if (FAILED(hr = decoder_->GetFrame(frameIndex, frame_.Out())))
        return FailedCall("IWICBitmapDecoder::GetFrame", hr);
    if (FAILED(hr = frame_->GetSize(&width_, &height_)))
        return FailedCall("IWICBitmapFrameDecode::GetSize", hr);
    if (!pictures::WithinBudget(width_, height_))
        return Report(std::string(knownFormat ? "its decoder reports " : "refused: ") +
                      std::to_string(width_) + "x" + std::to_string(height_) +
                      ", beyond the decoding budget");
    if (FAILED(hr = frame_->GetPixelFormat(&frameFormat_)))
        return FailedCall("IWICBitmapFrameDecode::GetPixelFormat", hr);
    KeepProfile(WicProfile(factory.Get(), frame_.Get()),
                IsEqualGUID(frameFormat_, GUID_WICPixelFormat32bppCMYK) != 0);
    if (FAILED(hr = factory->CreateFormatConverter(converter_.Out())))
        return FailedCall("IWICImagingFactory::CreateFormatConverter", hr);
    if (FAILED(hr = converter_->Initialize(frame_.Get(), GUID_WICPixelFormat32bppPBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)))
        return FailedCall("IWICFormatConverter::Initialize", hr);
    if (checkPixels) {
        std::uint32_t pixel[2] = {};
        const WICRect top{0, 0, 1, 1};
        const WICRect bottom{0, static_cast<INT>(height_ - 1), 1, 1};
        if (FAILED(hr = converter_->CopyPixels(&top, 4, 4, reinterpret_cast<BYTE*>(pixel))) ||
            FAILED(hr = converter_->CopyPixels(&bottom, 4, 4, reinterpret_cast<BYTE*>(pixel + 1))))
            return FailedCall("IWICFormatConverter::CopyPixels", hr);
    }
    return true;
}

// The frame's own rows where this file converts them itself, else the converter's, copied in
// strips.
bool WicDecoder::ReadRows(const PixelSize&, pictures::RowSink& sink) {
    if (!frame_) return false;
    Layout layout = LayoutOf(frameFormat_);
    IWICBitmapSource* from = frame_.Get();
    if (layout == Layout::Other || layout == Layout::Bgra32) {
        layout = Layout::Pbgra32;
        from = converter_.Get();
    }
    if (!sink.Begin(static_cast<std::int32_t>(width_), static_cast<std::int32_t>(height_),
                    orientation_))
        return Report("the picture's receiver refused its size");
    const UINT stride = width_ * BytesPerPixel(layout);
    std::vector<BYTE> strip(std::size_t{stride} * kStripRows);
    std::vector<std::uint32_t> row(width_);
    for (std::uint32_t y = 0; y < height_; y += kStripRows) {
        const std::uint32_t rows = std::min(kStripRows, height_ - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width_),
                           static_cast<INT>(rows)};
        if (const HRESULT hr = from->CopyPixels(&rect, stride, stride * rows, strip.data());
            FAILED(hr))
            return FailedCall("IWICBitmapSource::CopyPixels", hr);
        for (std::uint32_t r = 0; r < rows; ++r) {
            const BYTE* in = strip.data() + std::size_t{stride} * r;
            if (layout == Layout::Pbgra32) {
                // Already what the sink takes: handed over without a copy.
                sink.Row(std::span(reinterpret_cast<const std::uint32_t*>(in), width_));
            } else {
                ToPremultiplied(layout, in, row);
                sink.Row(row);
            }
        }
    }
    return true;
}

}  // namespace

Opening OpenWithWic(OpenedFile& file) {
    const LARGE_INTEGER origin{};
    if (const HRESULT hr = file.stream->Seek(origin, STREAM_SEEK_SET, nullptr); FAILED(hr)) {
        FailedCall("IStream::Seek", hr);
        return {};
    }
    // The frame the header's size is for: an icon's largest image, else the first. BMP, TIFF
    // and icon decoders may read their pixels only when asked: a look at their first and last
    // rows shows whether those are there.
    const pictures::Format format = file.header.info.format;
    const bool checkPixels =
        file.known && (format == pictures::Format::Bmp || format == pictures::Format::Tiff ||
                       format == pictures::Format::Ico || format == pictures::Format::Cur);
    auto decoder = std::make_unique<WicDecoder>(file);
    if (!decoder->Open(file.stream, file.known ? file.header.info.frame : 0, file.known,
                       checkPixels))
        return {};
    return {std::move(decoder)};
}

}  // namespace platform::win32
