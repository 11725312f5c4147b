// The one decode chain of the backend (see picture_source.hpp).
#include "platform/win32/decoding/picture_source.hpp"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "imaging/colour/colour_profile.hpp"
#include "imaging/colour/icc_chunks.hpp"
#include "imaging/decoding/picture_header.hpp"
#include "imaging/decoding/picture_orientation.hpp"
#include "platform/diagnostics.hpp"
#include "platform/win32/decoding/wic_factory.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/text.hpp"

namespace platform::win32 {

// The file's bytes for libjpeg-turbo: first the start already read for the header check, then
// the rest from the stream, which stands right after it. The file's start is read once.
class PictureSource::FileBytes final : public jpeg::ByteSource {
  public:
    FileBytes(IStream* stream, std::vector<std::uint8_t> start)
        : stream_(stream), start_(std::move(start)) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        if (served_ < start_.size()) {
            const std::size_t n = std::min(size, start_.size() - served_);
            std::memcpy(buffer, start_.data() + served_, n);
            served_ += n;
            return n;
        }
        ULONG got = 0;
        const ULONG want = static_cast<ULONG>(std::min<std::size_t>(size, ULONG{1} << 24));
        if (FAILED(stream_->Read(buffer, want, &got))) return 0;
        return got;
    }

  private:
    IStream* stream_;
    std::vector<std::uint8_t> start_;
    std::size_t served_ = 0;
};

namespace {

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

// What the start of a file says: its first bytes, their header reading and the orientation
// they record.
struct FileStart {
    std::vector<std::uint8_t> bytes;
    pictures::HeaderReading header;
};

// The start of the stream, reading more only while the header reader needs it (a JPEG's frame
// header may stand after large metadata segments, a TIFF's first IFD at the end); the stream
// stands after the bytes read. Empty when the stream cannot be read.
std::optional<FileStart> StartOf(IStream* stream, std::uint64_t fileSize) {
    FileStart start;
    std::uint64_t want = 1u << 16;
    for (;;) {
        want = std::min(want, fileSize);
        const std::size_t have = start.bytes.size();
        start.bytes.resize(static_cast<std::size_t>(want));
        ULONG got = 0;
        if (want > have) {
            const HRESULT hr =
                stream->Read(start.bytes.data() + have, static_cast<ULONG>(want - have), &got);
            if (FAILED(hr)) {
                FailedCall("IStream::Read", hr);
                return std::nullopt;
            }
            if (got != want - have) return std::nullopt;
        }
        start.header = pictures::ReadPictureHeader(start.bytes);
        if (start.header.verdict != pictures::HeaderVerdict::CutShort || want >= fileSize)
            return start;
        want *= 4;
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

const char* Described(pictures::HeaderVerdict verdict) {
    switch (verdict) {
        case pictures::HeaderVerdict::CutShort:
            return "refused: the file ends inside its header";
        case pictures::HeaderVerdict::Malformed:
            return "refused: its header is broken";
        default:
            return "refused: beyond the decoding budget";
    }
}

}  // namespace

PictureSource::PictureSource(std::wstring path) : path_(std::move(path)) {}
PictureSource::~PictureSource() = default;

bool PictureSource::Report(const std::string& why) const {
    diagnostics::Report(u"OpenPicture " + U16(path_) + u": " +
                        std::u16string(why.begin(), why.end()));
    return false;
}

std::unique_ptr<PictureSource> PictureSource::Open(const std::wstring& path) {
    std::unique_ptr<PictureSource> source(new PictureSource(path));
    // The decoders read the file through this stream as they need it.
    HRESULT hr =
        ::SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                 FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, source->file_.Out());
    if (FAILED(hr)) {
        FailedCall("SHCreateStreamOnFileEx", hr);
        return nullptr;
    }
    STATSTG stat{};
    // (Wine's file stream leaves the type of its statistics unset: it is not checked.)
    if (FAILED(hr = source->file_->Stat(&stat, STATFLAG_NONAME))) {
        FailedCall("IStream::Stat", hr);
        return nullptr;
    }
    if (stat.cbSize.QuadPart > kMaxPictureFileBytes) {
        source->Report("refused: the file is larger than 1 GiB");
        return nullptr;
    }
    // The header is checked first: a decoder may allocate the whole picture as it starts. A
    // format this program does not read has only the decoder's word for its size, checked
    // before a single pixel is asked for.
    std::optional<FileStart> start = StartOf(source->file_.Get(), stat.cbSize.QuadPart);
    if (!start) {
        source->Report("the file's start cannot be read");
        return nullptr;
    }
    const pictures::Admission admission = pictures::Admit(start->header);
    if (admission == pictures::Admission::Refuse) {
        const auto& info = start->header.info;
        std::string why = Described(start->header.verdict);
        if (start->header.verdict == pictures::HeaderVerdict::Read)
            why += ": " + std::to_string(info.width) + "x" + std::to_string(info.height);
        source->Report(why);
        return nullptr;
    }
    const bool known = admission == pictures::Admission::Decode;
    const pictures::Format format = start->header.info.format;

    if (known && format == pictures::Format::Jpeg) {
        source->bytes_ = std::make_unique<FileBytes>(source->file_.Get(), std::move(start->bytes));
        source->jpeg_ = std::make_unique<jpeg::Decoder>(*source->bytes_);
        switch (source->jpeg_->ReadHeader()) {
            case jpeg::Outcome::Done:
                source->width_ = source->jpeg_->Width();
                source->height_ = source->jpeg_->Height();
                source->orientation_ = source->jpeg_->RecordedOrientation();
                source->KeepProfile(icc::Reassembled(source->jpeg_->IccChunks()),
                                    source->jpeg_->StoresCmyk());
                return source;
            case jpeg::Outcome::Failed:
                source->Report(source->jpeg_->Problem());
                return nullptr;
            case jpeg::Outcome::NotMine:
                // Windows' own decoder may know it (a 12-bit or lossless JPEG, say).
                source->Report("libjpeg-turbo declines it (" + source->jpeg_->Problem() +
                               "): handed to WIC");
                source->jpeg_.reset();
                source->bytes_.reset();
                break;
        }
    } else {
        source->orientation_ = pictures::ReadOrientation(start->bytes);
    }
    const LARGE_INTEGER origin{};
    if (FAILED(hr = source->file_->Seek(origin, STREAM_SEEK_SET, nullptr))) {
        FailedCall("IStream::Seek", hr);
        return nullptr;
    }
    // The frame the header's size is for: an icon's largest image, else the first. BMP, TIFF
    // and icon decoders may read their pixels only when asked: a look at their first and last
    // rows shows whether those are there.
    const bool checkPixels =
        known && (format == pictures::Format::Bmp || format == pictures::Format::Tiff ||
                  format == pictures::Format::Ico || format == pictures::Format::Cur);
    if (!source->OpenWic(known ? start->header.info.frame : 0, known, checkPixels)) return nullptr;
    // A WebP decoder that gives no colour context: the file's own ICCP chunk, then.
    if (known && format == pictures::Format::WebP && source->profile_.empty())
        source->KeepProfile(icc::FromWebP(start->bytes), false);
    return source;
}

void PictureSource::KeepProfile(icc::Embedded embedded, bool cmyk) {
    if (!embedded.problem.empty()) {
        Report("its colour profile is not used: " + embedded.problem);
    } else if (cmyk && !embedded.bytes.empty()) {
        // A JPEG's CMYK rows come to sRGB through its profile as they are decoded. WIC's CMYK
        // formats are converted by WIC, without it.
        std::string problem = "WIC converts its CMYK";
        if (jpeg_) cmyk_ = colour::JudgeCmyk(embedded.bytes, jpeg_->InksInverted(), problem);
        if (!cmyk_) Report("its CMYK profile is not used: " + problem);
    } else {
        profile_ = std::move(embedded.bytes);
    }
}

bool PictureSource::OpenWic(std::uint32_t frameIndex, bool knownFormat, bool checkPixels) {
    ComPtr<IWICImagingFactory> factory = WicFactory();
    if (!factory) return Report("no WIC imaging factory");
    HRESULT hr = factory->CreateDecoderFromStream(file_.Get(), nullptr,
                                                  WICDecodeMetadataCacheOnDemand, decoder_.Out());
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

bool PictureSource::ReadRows(const PixelSize& minimum, pictures::RowSink& sink) {
    bool done = false;
    if (jpeg_) {
        // The decoder takes the size it needs as the rows are stored.
        const PixelSize stored = pictures::TurnsAQuarter(orientation_)
                                     ? PixelSize{minimum.height, minimum.width}
                                     : minimum;
        jpeg::Decoder::CmykConverter cmyk;
        if (cmyk_)
            cmyk = [rows = cmyk_.get()](const std::uint8_t* in, std::span<std::uint32_t> out) {
                rows->Convert(in, out);
            };
        done = jpeg_->ReadRows(stored, sink, cmyk) == jpeg::Outcome::Done;
        if (!done) Report(jpeg_->Problem());
    } else {
        done = ReadWic(sink);
    }
    // The decoders and the file are let go as soon as the rows have come.
    jpeg_.reset();
    bytes_.reset();
    converter_.Reset();
    frame_.Reset();
    decoder_.Reset();
    file_.Reset();
    return done;
}

// The frame's own rows where this file converts them itself, else the converter's, copied in
// strips.
bool PictureSource::ReadWic(pictures::RowSink& sink) {
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

std::optional<pictures::Bitmap> DecodeWhole(const std::wstring& path) {
    class Whole final : public pictures::RowSink {
      public:
        bool Begin(std::int32_t width, std::int32_t height, pictures::Orientation) override {
            bitmap.width = width;
            bitmap.height = height;
            bitmap.pixels.reserve(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height));
            return true;
        }
        void Row(std::span<const std::uint32_t> row) override {
            bitmap.pixels.insert(bitmap.pixels.end(), row.begin(), row.end());
        }
        pictures::Bitmap bitmap;
    } whole;
    const std::unique_ptr<PictureSource> source = PictureSource::Open(path);
    if (!source) return std::nullopt;
    const PixelSize stored{static_cast<double>(source->Width()),
                           static_cast<double>(source->Height())};
    if (!source->ReadRows(stored, whole)) return std::nullopt;
    return std::move(whole.bitmap);
}

}  // namespace platform::win32
