// The streaming picture source (see picture_source.hpp).
#include "platform/win32/picture_source.hpp"

#include <shlwapi.h>

#include <algorithm>
#include <span>

#include "platform/picture_header.hpp"
#include "platform/picture_orientation.hpp"
#include "platform/win32/wic_factory.hpp"

namespace platform::win32 {

namespace {

// IWICBitmapSourceTransform, which the MinGW headers do not declare: the interface through
// which a decoder hands over its picture shrunk while decoding (Windows' JPEG decoder does so
// for 1/2, 1/4 and 1/8; Wine's decoders do not offer it). Methods in the order of the
// interface's vtable in wincodec.h. Named apart from the SDK's own declaration, which other
// compilers' headers carry.
struct SourceTransform : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format,
                                                 WICBitmapTransformOptions transform, UINT stride,
                                                 UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                           BOOL* supported) = 0;
};
// {3B16811B-6A43-4ec9-B713-3D5A0C13B940}
constexpr IID kSourceTransformId = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

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

// Copies the strips of a picture `width` x `height` in `layout` with `copy(rect, stride,
// size, buffer)` and hands their rows to the sink.
template <class Copy>
bool StreamStrips(std::uint32_t width, std::uint32_t height, pictures::Orientation orientation,
                  Layout layout, pictures::RowSink& sink, Copy copy) {
    if (!sink.Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                    orientation))
        return false;
    const UINT stride = width * BytesPerPixel(layout);
    std::vector<BYTE> strip(std::size_t{stride} * PictureSource::kStripRows);
    std::vector<std::uint32_t> row(width);
    for (std::uint32_t y = 0; y < height; y += PictureSource::kStripRows) {
        const std::uint32_t rows = std::min(PictureSource::kStripRows, height - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(copy(rect, stride, stride * rows, strip.data()))) return false;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const BYTE* in = strip.data() + std::size_t{stride} * r;
            if (layout == Layout::Pbgra32) {
                // Already what the sink takes: handed over without a copy.
                sink.Row(std::span(reinterpret_cast<const std::uint32_t*>(in), width));
            } else {
                ToPremultiplied(layout, in, row);
                sink.Row(row);
            }
        }
    }
    return true;
}

// What the start of a file says: its header's reading and the orientation it records.
struct FileStart {
    pictures::HeaderReading header;
    pictures::Orientation orientation = pictures::kUpright;
};

// The start of the stream, reading more only while the header reader needs it (a JPEG's frame
// header may stand after large metadata segments, a TIFF's first IFD at the end); the stream
// is put back at its start. The orientation is read from the same bytes: a JPEG's Exif block
// stands before its frame header, and the tag sits in the TIFF's first IFD, which the header
// reader has read for the size. Empty when the stream cannot be read.
std::optional<FileStart> StartOf(IStream* stream, std::uint64_t fileSize) {
    std::vector<std::uint8_t> bytes;
    std::uint64_t want = 1u << 16;
    for (;;) {
        want = std::min(want, fileSize);
        const std::size_t have = bytes.size();
        bytes.resize(static_cast<std::size_t>(want));
        ULONG got = 0;
        if (want > have &&
            (FAILED(stream->Read(bytes.data() + have, static_cast<ULONG>(want - have), &got)) ||
             got != want - have))
            return std::nullopt;
        const pictures::HeaderReading header = pictures::ReadPictureHeader(bytes);
        if (header.verdict != pictures::HeaderVerdict::CutShort || want >= fileSize) {
            LARGE_INTEGER start{};
            if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return std::nullopt;
            return FileStart{header, pictures::ReadOrientation(bytes)};
        }
        want *= 4;
    }
}

}  // namespace

std::optional<PictureSource> PictureSource::Open(const std::wstring& path) {
    PictureSource source;
    // Shared for reading only, so that the file cannot change between its header check and
    // the decoding; the decoder reads it through this stream as it needs it.
    if (FAILED(::SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                        FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, source.file_.Out())))
        return std::nullopt;
    STATSTG stat{};
    // (Wine's file stream leaves the type of its statistics unset: it is not checked.)
    if (FAILED(source.file_->Stat(&stat, STATFLAG_NONAME)) ||
        stat.cbSize.QuadPart > kMaxPictureFileBytes)
        return std::nullopt;
    // The header is checked first: a decoder may allocate the whole picture as it starts. A
    // format this program does not read has only the decoder's word for its size, checked
    // below before a single pixel is asked for.
    const auto start = StartOf(source.file_.Get(), stat.cbSize.QuadPart);
    if (!start) return std::nullopt;
    const pictures::Admission admission = pictures::Admit(start->header);
    if (admission == pictures::Admission::Refuse) return std::nullopt;
    const bool known = admission == pictures::Admission::Decode;
    // The frame the header's size is for: an icon's largest image, else the first.
    const UINT frameIndex = known ? start->header.info.frame : 0;
    source.orientation_ = start->orientation;

    ComPtr<IWICImagingFactory> factory = WicFactory();
    if (!factory ||
        FAILED(factory->CreateDecoderFromStream(
            source.file_.Get(), nullptr, WICDecodeMetadataCacheOnDemand, source.decoder_.Out())) ||
        FAILED(source.decoder_->GetFrame(frameIndex, source.frame_.Out())) ||
        FAILED(source.frame_->GetSize(&source.width_, &source.height_)) ||
        !pictures::WithinBudget(source.width_, source.height_) ||
        FAILED(source.frame_->GetPixelFormat(&source.frameFormat_)) ||
        FAILED(factory->CreateFormatConverter(source.converter_.Out())) ||
        FAILED(source.converter_->Initialize(source.frame_.Get(), GUID_WICPixelFormat32bppPBGRA,
                                             WICBitmapDitherTypeNone, nullptr, 0.0,
                                             WICBitmapPaletteTypeCustom)))
        return std::nullopt;
    // JPEG, PNG and GIF decoders find a damaged file as they start (Wine's decode everything
    // then). BMP, TIFF and icon decoders may read their pixels only when asked: one pixel of
    // the first and of the last row shows whether they are all there.
    const pictures::Format format = start->header.info.format;
    if (known && (format == pictures::Format::Bmp || format == pictures::Format::Tiff ||
                  format == pictures::Format::Ico || format == pictures::Format::Cur)) {
        std::uint32_t pixel[2] = {};
        const WICRect top{0, 0, 1, 1};
        const WICRect bottom{0, static_cast<INT>(source.height_ - 1), 1, 1};
        if (FAILED(source.converter_->CopyPixels(&top, 4, 4, reinterpret_cast<BYTE*>(pixel))) ||
            FAILED(
                source.converter_->CopyPixels(&bottom, 4, 4, reinterpret_cast<BYTE*>(pixel + 1))))
            return std::nullopt;
    }
    return source;
}

bool PictureSource::ReadRows(std::int32_t reduction, pictures::RowSink& sink) const {
    if (reduction == 2 || reduction == 4 || reduction == 8) {
        bool done = false;
        const bool ok = ReadReduced(reduction, sink, done);
        if (done) return ok;
    }
    return ReadFull(sink);
}

// Sets `done` once it has taken the reduced way; leaves it false when the decoder offers no
// smaller size in a layout this file knows, so that the full size is read instead.
bool PictureSource::ReadReduced(std::int32_t reduction, pictures::RowSink& sink, bool& done) const {
    ComPtr<SourceTransform> transform;
    if (FAILED(
            frame_->QueryInterface(kSourceTransformId, reinterpret_cast<void**>(transform.Out()))))
        return false;
    const UINT k = static_cast<UINT>(reduction);
    UINT width = (width_ + k - 1) / k, height = (height_ + k - 1) / k;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
    BOOL plain = FALSE;
    if (FAILED(transform->GetClosestSize(&width, &height)) || width == 0 || height == 0 ||
        (width >= width_ && height >= height_) ||
        FAILED(transform->GetClosestPixelFormat(&format)) ||
        FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &plain)) || !plain)
        return false;
    const Layout layout = LayoutOf(format);
    if (layout == Layout::Other) return false;
    done = true;
    return StreamStrips(width, height, orientation_, layout, sink,
                        [&](const WICRect& rect, UINT stride, UINT size, BYTE* buffer) {
                            return transform->CopyPixels(&rect, width, height, &format,
                                                         WICBitmapTransformRotate0, stride, size,
                                                         buffer);
                        });
}

bool PictureSource::ReadFull(pictures::RowSink& sink) const {
    // The frame's own rows where this file converts them itself, else the converter's.
    Layout layout = LayoutOf(frameFormat_);
    IWICBitmapSource* from = frame_.Get();
    if (layout == Layout::Other || layout == Layout::Bgra32) {
        layout = Layout::Pbgra32;
        from = converter_.Get();
    }
    return StreamStrips(width_, height_, orientation_, layout, sink,
                        [&](const WICRect& rect, UINT stride, UINT size, BYTE* buffer) {
                            return from->CopyPixels(&rect, stride, size, buffer);
                        });
}

}  // namespace platform::win32
