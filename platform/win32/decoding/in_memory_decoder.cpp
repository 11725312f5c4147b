// The whole file for the decoders that read it from memory (see in_memory_decoder.hpp).
#include "platform/win32/decoding/in_memory_decoder.hpp"

#include <algorithm>

#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/failure.hpp"

namespace platform::win32 {

std::optional<std::vector<std::uint8_t>> WholeFile(OpenedFile& file) {
    STATSTG stat{};
    if (const HRESULT hr = file.stream->Stat(&stat, STATFLAG_NONAME); FAILED(hr)) {
        FailedCall("IStream::Stat", hr);
        return std::nullopt;
    }
    const std::uint64_t size = stat.cbSize.QuadPart;
    if (size > kMaxPictureFileBytes || size < file.start.size()) {
        ReportOn(file.path, "refused: the file is larger than 1 GiB or changed while read");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes = std::move(file.start);
    std::size_t have = bytes.size();
    bytes.resize(static_cast<std::size_t>(size));
    while (have < bytes.size()) {
        const ULONG want = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - have, 1u << 24));
        ULONG got = 0;
        if (const HRESULT hr = file.stream->Read(bytes.data() + have, want, &got); FAILED(hr)) {
            FailedCall("IStream::Read", hr);
            return std::nullopt;
        }
        if (got == 0) {
            ReportOn(file.path, "the file ends before the size it had when opened");
            return std::nullopt;
        }
        have += got;
    }
    return bytes;
}

}  // namespace platform::win32
