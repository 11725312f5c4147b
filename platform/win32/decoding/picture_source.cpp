// The one decode chain of the backend (see picture_source.hpp): the file and its start; the
// decoders are beside this file, chosen in decoders.cpp.
#include "platform/win32/decoding/picture_source.hpp"

#include <shlwapi.h>

#include <algorithm>
#include <optional>

#include "imaging/decoding/picture_header.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"
#include "platform/win32/failure.hpp"

namespace platform::win32 {

namespace {

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

PictureSource::~PictureSource() = default;

std::unique_ptr<PictureSource> PictureSource::Open(const std::wstring& path) {
    std::unique_ptr<PictureSource> source(new PictureSource());
    const auto report = [&path](const std::string& why) { return ReportOn(path, why); };
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
        report("refused: the file is larger than 1 GiB");
        return nullptr;
    }
    // The header is checked first: a decoder may allocate the whole picture as it starts. A
    // format this program does not read has only the decoder's word for its size, checked
    // before a single pixel is asked for.
    std::optional<FileStart> start = StartOf(source->file_.Get(), stat.cbSize.QuadPart);
    if (!start) {
        report("the file's start cannot be read");
        return nullptr;
    }
    const pictures::Admission admission = pictures::Admit(start->header);
    if (admission == pictures::Admission::Refuse) {
        const auto& info = start->header.info;
        std::string why = Described(start->header.verdict);
        if (start->header.verdict == pictures::HeaderVerdict::Read)
            why += ": " + std::to_string(info.width) + "x" + std::to_string(info.height);
        report(why);
        return nullptr;
    }
    OpenedFile file{path, source->file_.Get(), std::move(start->bytes), start->header,
                    admission == pictures::Admission::Decode};
    if (!file.known || file.header.info.format != pictures::Format::Jpeg)
        file.orientation = pictures::ReadOrientation(file.start);
    source->decoder_ = ChooseDecoder(file);
    if (!source->decoder_) return nullptr;
    source->width_ = source->decoder_->Width();
    source->height_ = source->decoder_->Height();
    source->orientation_ = source->decoder_->RecordedOrientation();
    source->profile_ = source->decoder_->TakeColourProfile();
    return source;
}

bool PictureSource::ReadRows(const PixelSize& minimum, pictures::RowSink& sink) {
    if (!decoder_) return false;
    // The decoder takes the size it needs as the rows are stored.
    const PixelSize stored =
        pictures::TurnsAQuarter(orientation_) ? PixelSize{minimum.height, minimum.width} : minimum;
    const bool done = decoder_->ReadRows(stored, sink);
    // The decoder and the file are let go as soon as the rows have come.
    decoder_.reset();
    file_.Reset();
    return done;
}

}  // namespace platform::win32
