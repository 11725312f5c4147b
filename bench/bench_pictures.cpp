#include "bench_pictures.hpp"

// After <windows.h>, whose types it uses.
#include <libheif/heif.h>
#include <wincodec.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/decoding/wic_factory.hpp"
#include "platform/win32/scoped.hpp"

namespace bench {

using platform::win32::ComPtr;

namespace {

// A photo-like pixel: smooth gradients with some texture and grain, so that JPEG and PNG
// files come out at sizes photographs have rather than as flat colour or pure noise.
struct Grain {
    std::uint32_t state = 12345;
    int Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 24) & 15) - 8;
    }
};
BYTE Clamp(int v) {
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace

bool MakePicture(const PictureKind& picture, const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) return true;
    if (picture.madeOutside) return false;
    ComPtr<IWICImagingFactory> factory = platform::win32::WicFactory();
    if (!factory) return false;
    const GUID container = picture.kind == Kind::Jpeg  ? GUID_ContainerFormatJpeg
                           : picture.kind == Kind::Png ? GUID_ContainerFormatPng
                           : picture.kind == Kind::Bmp ? GUID_ContainerFormatBmp
                                                       : GUID_ContainerFormatGif;
    const std::filesystem::path part = file.wstring() + L".part";
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromFilename(part.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(container, nullptr, encoder.Out())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.Out(), options.Out())) ||
        FAILED(frame->Initialize(options.Get())) ||
        FAILED(frame->SetSize(picture.width, picture.height)))
        return false;
    // PNG with an alpha channel (a cut-out), so that the conversion to premultiplied pixels is
    // measured too; GIF with a palette; JPEG and BMP as 24-bit colour.
    const bool gif = picture.kind == Kind::Gif, png = picture.kind == Kind::Png;
    WICPixelFormatGUID format = gif   ? GUID_WICPixelFormat8bppIndexed
                                : png ? GUID_WICPixelFormat32bppBGRA
                                      : GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format))) return false;
    if (gif) {
        std::vector<WICColor> colours(256);
        for (UINT i = 0; i < 256; ++i)
            colours[i] = 0xFF000000u | (i & 0xE0) << 16 | (i & 0x1C) << 11 | (i & 0x03) << 6;
        ComPtr<IWICPalette> palette;
        if (FAILED(factory->CreatePalette(palette.Out())) ||
            FAILED(palette->InitializeCustom(colours.data(), 256)) ||
            FAILED(frame->SetPalette(palette.Get())))
            return false;
    }
    const UINT bytes = gif ? 1 : png ? 4 : 3;
    const UINT stride = picture.width * bytes;
    const UINT stripRows = 256;
    std::vector<BYTE> strip(std::size_t{stride} * stripRows);
    Grain grain;
    for (UINT y0 = 0; y0 < picture.height; y0 += stripRows) {
        const UINT rows = std::min(stripRows, picture.height - y0);
        for (UINT r = 0; r < rows; ++r) {
            const UINT y = y0 + r;
            BYTE* p = strip.data() + std::size_t{stride} * r;
            for (UINT x = 0; x < picture.width; ++x) {
                const int red = static_cast<int>(255 * x / picture.width);
                const int green = static_cast<int>(255 * y / picture.height);
                const int blue = static_cast<int>(((x / 40) ^ (y / 40)) & 1 ? 200 : 60);
                const int g = grain.Next();
                if (gif) {
                    *p++ = static_cast<BYTE>((red & 0xE0) | (green >> 3 & 0x1C) | (blue >> 6));
                    continue;
                }
                *p++ = Clamp(blue + g);
                *p++ = Clamp(green + g);
                *p++ = Clamp(red + g);
                // A round transparent hole in the middle, a soft edge around it.
                if (png) {
                    const double dx = (x - picture.width / 2.0) / picture.height,
                                 dy = (y - picture.height / 2.0) / picture.height;
                    const double d = (dx * dx + dy * dy) * 40;
                    *p++ = Clamp(static_cast<int>((d - 1) * 255));
                }
            }
        }
        if (FAILED(frame->WritePixels(rows, stride, stride * rows, strip.data()))) return false;
    }
    if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) return false;
    stream.Reset();
    encoder.Reset();
    frame.Reset();
    std::filesystem::rename(part, file, ec);
    return !ec;
}

std::optional<Decoded> DecodeFloor(const std::filesystem::path& file) {
    ComPtr<IWICImagingFactory> factory = platform::win32::WicFactory();
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    Decoded d;
    WICPixelFormatGUID format{};
    ComPtr<IWICComponentInfo> info;
    ComPtr<IWICPixelFormatInfo> formatInfo;
    if (!factory ||
        FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&d.width, &d.height)) ||
        FAILED(frame->GetPixelFormat(&format)) ||
        FAILED(factory->CreateComponentInfo(format, info.Out())) ||
        FAILED(info->QueryInterface(IID_IWICPixelFormatInfo,
                                    reinterpret_cast<void**>(formatInfo.Out()))) ||
        FAILED(formatInfo->GetBitsPerPixel(&d.bitsPerPixel)))
        return std::nullopt;
    const UINT stride = (d.width * d.bitsPerPixel + 7) / 8;
    // Left uninitialised, as a decoder's caller would leave it: the copy fills it.
    const std::size_t size = std::size_t{stride} * d.height;
    std::unique_ptr<BYTE[]> pixels(new BYTE[size]);
    if (FAILED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(size), pixels.get())))
        return std::nullopt;
    return d;
}

std::optional<Decoded> HeifFloor(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                              heif_context_free);
    heif_context_set_max_decoding_threads(
        context.get(), static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    heif_image_handle* handle = nullptr;
    if (heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(),
                                                   nullptr)
                .code != heif_error_Ok ||
        heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return std::nullopt;
    const std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> owned(
        handle, heif_image_handle_release);
    heif_image* image = nullptr;
    if (heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                          nullptr)
            .code != heif_error_Ok)
        return std::nullopt;
    Decoded d{static_cast<UINT>(heif_image_get_primary_width(image)),
              static_cast<UINT>(heif_image_get_primary_height(image)), 32};
    heif_image_release(image);
    return d;
}

}  // namespace bench
