// The libjpeg-turbo decoder (see jpeg_decoder.hpp).
//
// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// (longjmp) to the setjmp of the step that called into libjpeg. Every such step runs in
// Guarded, whose frame, like libjpeg's own, holds no object with a destructor, so the jump
// skips nothing that needed cleaning up; all that a step leaves behind lives in State, which
// the decoder owns and frees.
#include "imaging/decoding/jpeg_decoder.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
// After <cstdio>: jpeglib.h uses FILE and size_t without including their headers.
#include <jerror.h>
#include <jpeglib.h>

#include "imaging/decoding/picture_header.hpp"

namespace platform::jpeg {

std::size_t MemorySource::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t n = std::min(size, bytes_.size());
    if (n > 0) std::memcpy(buffer, bytes_.data(), n);
    bytes_ = bytes_.subspan(n);
    return n;
}

std::uint32_t ScaledSide(std::uint32_t side, std::int32_t eighths) {
    const auto scaled = (std::uint64_t{side} * static_cast<std::uint64_t>(eighths) + 7) / 8;
    return static_cast<std::uint32_t>(scaled);
}

std::int32_t ScaleFor(std::uint32_t width, std::uint32_t height, const PixelSize& minimum) {
    for (std::int32_t eighths = 1; eighths < 8; ++eighths) {
        if (ScaledSide(width, eighths) >= minimum.width &&
            ScaledSide(height, eighths) >= minimum.height)
            return eighths;
    }
    return 8;
}

namespace {

// Bytes asked of the byte source at a time.
constexpr std::size_t kReadBytes = std::size_t{1} << 16;
// Rows asked of libjpeg at a time, and so the strip of output held at once.
constexpr JDIMENSION kStripRows = 16;
// APP1 and APP2 segments kept from one file, at most.
constexpr std::size_t kMaxKeptMarkers = 300;

constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint8_t kIccProfile[] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};

// libjpeg's pixels in the layout of a 0xAARRGGBB word in memory, alpha 0xFF.
constexpr J_COLOR_SPACE kWordLayout =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}  // namespace

struct Decoder::State {
    // libjpeg's error manager first, so that libjpeg's pointer to it is a pointer to this.
    struct Errors {
        jpeg_error_mgr manager;
        std::jmp_buf exit;
        char message[JMSG_LENGTH_MAX];
    };
    struct Kept {
        int marker;
        std::size_t offset, length;
    };

    explicit State(ByteSource& from) : source(from) {
        // Reserved before libjpeg runs: the marker handler only fills what is there.
        markerBytes.reserve(kMaxKeptMarkerBytes);
        kept.reserve(kMaxKeptMarkers);
    }

    Errors errors{};
    jpeg_decompress_struct info{};
    jpeg_source_mgr reader{};
    ByteSource& source;
    std::array<std::uint8_t, kReadBytes> buffer{};
    bool created = false, headerRead = false, rowsRead = false;
    bool endOfFile = false;
    // The output row being made when the file ended, once it did.
    bool endRowNoted = false;
    JDIMENSION endRow = 0;
    // Warnings that mean lost or damaged data, and the first one's words.
    int damage = 0;
    char damageMessage[JMSG_LENGTH_MAX] = {};
    std::vector<std::uint8_t> markerBytes;
    std::vector<Kept> kept;
    pictures::Orientation orientation = pictures::kUpright;
    std::vector<IccChunk> icc;
    std::string problem;
    jpeg_progress_mgr progress{};
};

namespace {

using State = Decoder::State;

State& StateOf(j_common_ptr info) {
    return *static_cast<State*>(info->client_data);
}
State& StateOf(j_decompress_ptr info) {
    return StateOf(reinterpret_cast<j_common_ptr>(info));
}

// --- libjpeg's callbacks --------------------------------------------------------------------

[[noreturn]] void ExitWithError(j_common_ptr info) {
    auto* errors = reinterpret_cast<State::Errors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->exit, 1);
}

// Of libjpeg's warnings (level -1), only the data running out because the file ended counts
// as damage: libjpeg recovers from the others (stray bytes before a marker, a bogus
// progression, a bad code in one block) and gives the whole picture, as its own djpeg shows
// it. Its traces are not warnings. The end of the file is noted with the row that was being
// made: libjpeg reads ahead, so a file that lacks only its end marker ends there too, and
// ReadRows judges it. Nothing is printed.
void NoteMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    State& s = StateOf(info);
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
            if (!s.endRowNoted) s.endRow = s.info.output_scanline, s.endRowNoted = true;
            return;
        case JWRN_HIT_MARKER:
            // The entropy-coded data met a marker: the end marker put in for a file cut short.
            if (s.endOfFile) break;
            return;
        default:
            return;
    }
    if (s.damage++ == 0) (*info->err->format_message)(info, s.damageMessage);
}

// Between the steps of a decode: a file of more scans than the cap is refused there, before
// libjpeg reads the next (TurboJPEG's limit for untrusted files, as djpeg -maxscans sets).
void WatchScans(j_common_ptr info) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number <= kMaxScans) return;
    auto* errors = reinterpret_cast<State::Errors*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxScans);
    std::longjmp(errors->exit, 1);
}

void PrintNothing(j_common_ptr) {}

void StartReading(j_decompress_ptr) {}

// The next bytes from the source; at its end, an end-of-image marker, as libjpeg's own
// sources do, with the warning that the file ended early.
boolean FillBuffer(j_decompress_ptr info) {
    State& s = StateOf(info);
    std::size_t n = s.endOfFile ? 0 : s.source.Read(s.buffer.data(), s.buffer.size());
    if (n == 0) {
        s.endOfFile = true;
        WARNMS(info, JWRN_JPEG_EOF);
        s.buffer[0] = 0xFF;
        s.buffer[1] = JPEG_EOI;
        n = 2;
    }
    s.reader.next_input_byte = s.buffer.data();
    s.reader.bytes_in_buffer = n;
    return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
    jpeg_source_mgr& r = *info->src;
    while (count > 0) {
        if (r.bytes_in_buffer == 0) FillBuffer(info);
        const auto n = std::min(static_cast<std::size_t>(count), r.bytes_in_buffer);
        r.next_input_byte += n;
        r.bytes_in_buffer -= n;
        count -= static_cast<long>(n);
        if (StateOf(info).endOfFile) return;
    }
}

void EndReading(j_decompress_ptr) {}

std::uint8_t NextByte(j_decompress_ptr info) {
    jpeg_source_mgr& r = *info->src;
    if (r.bytes_in_buffer == 0) FillBuffer(info);
    --r.bytes_in_buffer;
    return *r.next_input_byte++;
}

// APP1 and APP2 segments: the first Exif block and the ICC profile's chunks are kept while
// they fit in what was reserved; every other segment, and any beyond that, is passed over.
boolean KeepSegment(j_decompress_ptr info) {
    State& s = StateOf(info);
    std::size_t length = std::size_t{NextByte(info)} << 8;
    length += NextByte(info);
    length = length >= 2 ? length - 2 : 0;
    const int marker = info->unread_marker;
    const bool wanted = marker == JPEG_APP0 + 2 ||
                        std::none_of(s.kept.begin(), s.kept.end(), [](const State::Kept& k) {
                            return k.marker == JPEG_APP0 + 1;
                        });
    if (!wanted || s.kept.size() == s.kept.capacity() ||
        length > s.markerBytes.capacity() - s.markerBytes.size()) {
        SkipBytes(info, static_cast<long>(length));
        return TRUE;
    }
    const std::size_t at = s.markerBytes.size();
    s.markerBytes.resize(at + length);  // within the capacity reserved: no allocation
    for (std::size_t done = 0; done < length && !s.endOfFile;) {
        jpeg_source_mgr& r = *info->src;
        if (r.bytes_in_buffer == 0) FillBuffer(info);
        const std::size_t n = std::min(r.bytes_in_buffer, length - done);
        std::memcpy(s.markerBytes.data() + at + done, r.next_input_byte, n);
        r.next_input_byte += n;
        r.bytes_in_buffer -= n;
        done += n;
    }
    const std::span<const std::uint8_t> data(s.markerBytes.data() + at, length);
    using Prefix = std::span<const std::uint8_t>;
    if (StartsWith(data, marker == JPEG_APP0 + 1 ? Prefix(kExif) : Prefix(kIccProfile)))
        s.kept.push_back({marker, at, length});
    else
        s.markerBytes.resize(at);
    return TRUE;
}

// Runs `step`, which calls into libjpeg; false when libjpeg gave up with an error, whose
// message is then the problem.
template <class Step>
bool Guarded(State& s, Step&& step) {
    if (setjmp(s.errors.exit)) {
        s.problem = std::string("libjpeg: ") + s.errors.message;
        return false;
    }
    step();
    return true;
}

bool Damaged(State& s) {
    if (s.damage == 0) return false;
    s.problem = std::string("cut short or damaged: ") + s.damageMessage;
    return true;
}

// True once every component's DC coefficients have come in a scan that is complete. A
// progressive file's coefficient bits are marked as the scan that brings them starts.
bool AllDcArrived(const jpeg_decompress_struct& info) {
    for (int c = 0; c < info.num_components; ++c) {
        if (info.coef_bits[c][0] < 0) return false;
    }
    return true;
}

// Whether a file that ended before its end marker still gave every row whole. Huffman-coded
// data that runs short is damage libjpeg warns about; what it cannot see is left here: whole
// scans missing from a progressive file (every bit of every coefficient must have come) and
// arithmetic-coded data running short before the decoder's read-ahead into the last two rows
// of blocks.
bool EndedWhole(const State& s, std::int32_t eighths) {
    const jpeg_decompress_struct& info = s.info;
    if (!s.endOfFile || info.buffered_image) return true;
    if (info.progressive_mode) {
        for (int c = 0; c < info.num_components; ++c)
            for (int k = 0; k < DCTSIZE2; ++k)
                if (info.coef_bits[c][k] != 0) return false;
        return true;
    }
    const auto readAhead = static_cast<JDIMENSION>(2 * info.max_v_samp_factor * eighths);
    return !info.arith_code || s.endRow + readAhead >= info.output_height;
}

// One row of libjpeg's CMYK output as opaque 0xFFRRGGBB. Adobe's files (which carry its
// marker) store the inks inverted, so that 255 is no ink.
void FromCmyk(const JSAMPLE* in, bool inverted, std::span<std::uint32_t> out) {
    const auto mix = [](unsigned a, unsigned b) { return (a * b + 127) / 255; };
    for (std::uint32_t& o : out) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        o = 0xFF000000u | mix(c, k) << 16 | mix(m, k) << 8 | mix(y, k);
        in += 4;
    }
}

}  // namespace

Decoder::Decoder(ByteSource& source) : state_(std::make_unique<State>(source)) {}

Decoder::~Decoder() {
    if (state_->created) jpeg_destroy_decompress(&state_->info);
}

Outcome Decoder::ReadHeader() {
    State& s = *state_;
    if (s.created) return Outcome::Failed;
    s.info.err = jpeg_std_error(&s.errors.manager);
    s.errors.manager.error_exit = ExitWithError;
    s.errors.manager.emit_message = NoteMessage;
    s.errors.manager.output_message = PrintNothing;
    s.info.client_data = &s;
    bool headerOk = false;
    const bool ran = Guarded(s, [&] {
        jpeg_create_decompress(&s.info);
        s.created = true;
        s.progress.progress_monitor = WatchScans;
        s.info.progress = &s.progress;
        s.reader.init_source = StartReading;
        s.reader.fill_input_buffer = FillBuffer;
        s.reader.skip_input_data = SkipBytes;
        s.reader.resync_to_restart = jpeg_resync_to_restart;
        s.reader.term_source = EndReading;
        s.info.src = &s.reader;
        jpeg_set_marker_processor(&s.info, JPEG_APP0 + 1, KeepSegment);
        jpeg_set_marker_processor(&s.info, JPEG_APP0 + 2, KeepSegment);
        headerOk = jpeg_read_header(&s.info, TRUE) == JPEG_HEADER_OK;
    });
    if (!ran || !headerOk || Damaged(s)) {
        if (s.problem.empty()) s.problem = "no picture in the file";
        return Outcome::NotMine;
    }
    switch (s.info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
        case JCS_CMYK:
        case JCS_YCCK:
            break;
        default:
            s.problem = "a colour space libjpeg-turbo does not convert";
            return Outcome::NotMine;
    }
    if (!pictures::WithinBudget(s.info.image_width, s.info.image_height)) {
        s.problem = "refused: " + std::to_string(s.info.image_width) + "x" +
                    std::to_string(s.info.image_height) + " is beyond the decoding budget";
        return Outcome::Failed;
    }
    s.info.mem->max_memory_to_use = kMaxDecoderMemory;
    s.headerRead = true;

    bool exifRead = false;
    for (const State::Kept& k : s.kept) {
        const std::span<const std::uint8_t> data(s.markerBytes.data() + k.offset, k.length);
        if (k.marker == JPEG_APP0 + 1 && !exifRead) {
            s.orientation = pictures::ReadExifOrientation(data.subspan(sizeof kExif));
            exifRead = true;
        } else if (k.marker == JPEG_APP0 + 2 && data.size() >= sizeof kIccProfile + 2) {
            const auto chunk = data.subspan(sizeof kIccProfile);
            s.icc.push_back({chunk[0], chunk[1], {chunk.begin() + 2, chunk.end()}});
        }
    }
    s.markerBytes = {};
    return Outcome::Done;
}

std::uint32_t Decoder::Width() const {
    return state_->headerRead ? state_->info.image_width : 0;
}
std::uint32_t Decoder::Height() const {
    return state_->headerRead ? state_->info.image_height : 0;
}
pictures::Orientation Decoder::RecordedOrientation() const {
    return state_->orientation;
}
const std::vector<IccChunk>& Decoder::IccChunks() const {
    return state_->icc;
}
bool Decoder::StoresCmyk() const {
    return state_->info.jpeg_color_space == JCS_CMYK || state_->info.jpeg_color_space == JCS_YCCK;
}
const std::string& Decoder::Problem() const {
    return state_->problem;
}
int Decoder::ScansRead() const {
    return state_->created ? state_->info.input_scan_number : 0;
}

bool Decoder::InksInverted() const {
    return state_->info.saw_Adobe_marker != 0;
}

Outcome Decoder::ReadRows(const PixelSize& minimum, pictures::RowSink& sink,
                          const CmykConverter& convertCmyk) {
    State& s = *state_;
    if (!s.headerRead || s.rowsRead) return Outcome::Failed;
    s.rowsRead = true;
    jpeg_decompress_struct& info = s.info;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const std::int32_t eighths = ScaleFor(info.image_width, info.image_height, minimum);
    if (!Guarded(s, [&] {
            info.scale_num = static_cast<unsigned>(eighths);
            info.scale_denom = 8;
            info.out_color_space = cmyk ? JCS_CMYK : kWordLayout;
            // Its DC coefficients are all a progressive file needs at 1/8: read in
            // buffered-image mode, it is decoded only that far.
            info.buffered_image = info.progressive_mode && eighths == 1;
            info.do_block_smoothing = FALSE;
            jpeg_calc_output_dimensions(&info);
        }))
        return Outcome::Failed;
    const std::uint32_t width = info.output_width, height = info.output_height;
    if (!sink.Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                    s.orientation)) {
        s.problem = "the picture's receiver refused its size";
        return Outcome::Failed;
    }
    // Four bytes a pixel either way: a 0xAARRGGBB word, or C, M, Y and K.
    std::vector<std::uint32_t> strip(std::size_t{width} * kStripRows);
    std::array<JSAMPROW, kStripRows> rows{};
    for (JDIMENSION r = 0; r < kStripRows; ++r)
        rows[r] = reinterpret_cast<JSAMPROW>(strip.data() + std::size_t{width} * r);
    std::vector<std::uint32_t> converted(cmyk ? width : 0);

    bool whole = false;
    const bool decoded = Guarded(s, [&] {
        jpeg_start_decompress(&info);
        if (info.buffered_image) {
            for (;;) {
                const int step = jpeg_consume_input(&info);
                WatchScans(reinterpret_cast<j_common_ptr>(&info));
                if (step == JPEG_SCAN_COMPLETED && AllDcArrived(info)) break;
                if (step == JPEG_REACHED_EOI || step == JPEG_SUSPENDED || s.damage > 0) return;
            }
            jpeg_start_output(&info, info.input_scan_number);
        }
        while (info.output_scanline < height && s.damage == 0) {
            const JDIMENSION got = jpeg_read_scanlines(&info, rows.data(), kStripRows);
            if (got == 0 || s.damage > 0) return;
            for (JDIMENSION r = 0; r < got; ++r) {
                if (cmyk) {
                    if (convertCmyk)
                        convertCmyk(rows[r], converted);
                    else
                        FromCmyk(rows[r], info.saw_Adobe_marker, converted);
                    sink.Row(converted);
                } else {
                    sink.Row(std::span(strip).subspan(std::size_t{width} * r, width));
                }
            }
        }
        whole = info.output_scanline >= height;
    });
    // What follows the last row (more scans, the end marker or its absence) is not read.
    if (!decoded || Damaged(s)) return Outcome::Failed;
    if (!whole || !EndedWhole(s, eighths)) {
        s.problem = "cut short: the file ends before its picture does";
        return Outcome::Failed;
    }
    return Outcome::Done;
}

}  // namespace platform::jpeg
