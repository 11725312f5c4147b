// The wallpaper file decoded whole with WIC (see wallpaper_file.hpp).
#include "platform/win32/wallpaper_file.hpp"

#include <algorithm>
#include <span>

#include "platform/picture_header.hpp"
#include "platform/win32/picture_source.hpp"
#include "platform/win32/wic_factory.hpp"

namespace platform::win32 {

namespace {

// The whole content of a file; empty for a folder, a file larger than maxBytes, or a failed
// read. May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path,
                                                       std::uint64_t maxBytes) {
    // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS, so CreateFileW refuses it.
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    if (size > maxBytes) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

std::optional<pictures::Bitmap> DecodeWithWic(std::span<const std::uint8_t> bytes,
                                              pictures::Format format) {
    ComPtr<IWICImagingFactory> factory = WicFactory();
    if (!factory) return std::nullopt;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))))
        return std::nullopt;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.Out())))
        return std::nullopt;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Out()))) return std::nullopt;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return std::nullopt;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) ||
        !pictures::WithinBudget(pictures::HeaderInfo{format, width, height}))
        return std::nullopt;
    pictures::Bitmap bitmap;
    bitmap.width = static_cast<std::int32_t>(width);
    bitmap.height = static_cast<std::int32_t>(height);
    bitmap.pixels.resize(std::size_t{width} * height);
    // Within the budget a whole picture is at most 512 MiB, so the sizes fit in a UINT.
    const UINT stride = width * 4;
    const UINT total = stride * height;
    if (FAILED(converter->CopyPixels(nullptr, stride, total,
                                     reinterpret_cast<BYTE*>(bitmap.pixels.data()))))
        return std::nullopt;
    return bitmap;
}

}  // namespace

std::optional<pictures::Bitmap> LoadPictureFile(const std::wstring& path) {
    const auto bytes = ReadWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) return std::nullopt;
    // The header is checked first: a decoder may allocate the whole picture as it starts.
    const auto header = pictures::ReadHeader(*bytes);
    if (!header || !pictures::WithinBudget(*header)) return std::nullopt;
    return DecodeWithWic(*bytes, header->format);
}

}  // namespace platform::win32
