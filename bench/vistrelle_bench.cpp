// vistrelle_bench: how fast and how lean the frame loads big pictures, measured in one process
// against WIC decoding the same file at full size and, for a JPEG, libjpeg-turbo decoding it at
// the scale the frame asks for, plus the memory of each load (in a process
// of its own), start-up and idle. Prints one table; see README.md for what each column means.
//
//   vistrelle_bench --make DIR             writes the pictures into DIR (skips existing ones)
//   vistrelle_bench DIR [--runs N] [--exe Vistrelle.exe]
//                                          the table; start-up and idle with --exe
//   vistrelle_bench --memory FILE WARMUP   (child) one load's memory, printed as numbers
//   vistrelle_bench --empty-window         (child) the empty window start-up is compared with
//   vistrelle_bench --folder DIR [--runs N]
//                                          steps through a folder of 10 000 pictures made in
//                                          DIR, and the reload of a rewritten file
#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>
// After the standard headers: libwebp's decoder itself, the floor of a WebP's load.
#include <webp/decode.h>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "bench_folder.hpp"
#include "bench_pictures.hpp"
#include "bench_processes.hpp"
#include "bench_steps.hpp"
#include "bench_timing.hpp"
#include "imaging/decoding/jpeg_decoder.hpp"
#include "imaging/decoding/webp_decoder.hpp"

namespace {

namespace fs = std::filesystem;
using bench::Kind;
using bench::PictureKind;
using bench::Time;

const PictureKind kPictures[] = {
    {"JPEG 6000x4000 baseline", L"baseline.jpg", Kind::Jpeg, 6000, 4000, false},
    {"JPEG 6000x4000 progressive", L"progressive.jpg", Kind::Jpeg, 6000, 4000, true},
    // Fine grain over the whole picture, as a sharp photo of foliage or gravel has.
    {"JPEG 6000x4000 baseline, high entropy", L"entropy.jpg", Kind::Jpeg, 6000, 4000, true},
    {"JPEG 6000x4000 progressive, high entropy", L"entropy-progressive.jpg", Kind::Jpeg, 6000, 4000,
     true},
    {"JPEG 4032x3024 phone-like", L"phone.jpg", Kind::Jpeg, 4032, 3024, true},
    {"JPEG 8160x6120 (50 MP) phone-like", L"phone50.jpg", Kind::Jpeg, 8160, 6120, true},
    {"JPEG 6000x4000 CMYK", L"cmyk.jpg", Kind::Jpeg, 6000, 4000, true},
    // The baseline JPEG with an Exif block saying it is to be turned a quarter clockwise, as a
    // phone held upright stores it: shown 4000x6000, the small scaled copy turned.
    {"JPEG 6000x4000 orientation 6", L"turned.jpg", Kind::Jpeg, 6000, 4000, true},
    {"JPEG 12000x8000", L"huge.jpg", Kind::Jpeg, 12000, 8000, false},
    {"PNG 6000x4000 alpha", L"alpha.png", Kind::Png, 6000, 4000, false},
    {"BMP 6000x4000 24-bit", L"plain.bmp", Kind::Bmp, 6000, 4000, false},
    {"GIF 2000x1500", L"palette.gif", Kind::Gif, 2000, 1500, false},
    // cwebp's lossy encoding of the phone-like JPEG: what a web download of a photo is.
    {"WebP 4032x3024 (12 MP) lossy", L"phone.webp", Kind::WebP, 4032, 3024, true},
    // The phone-like JPEG encoded by heif-enc: HEVC, and AV1.
    {"HEIC 4032x3024 phone-like", L"phone.heic", Kind::Heif, 4032, 3024, true},
    {"AVIF 4032x3024 phone-like", L"phone.avif", Kind::Heif, 4032, 3024, true},
};
// Loaded once before anything is measured, so that WIC's code is in on both sides of every
// comparison.
const PictureKind kWarmUp = {"warm-up", L"tiny.png", Kind::Png, 16, 16, false};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Handles what the windows have queued (their paints among it), outside any timing.
void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::u16string U16(const fs::path& p) {
    const std::wstring w = p.wstring();
    return std::u16string(w.begin(), w.end());
}

// The frame's real windows, created as at start-up (its own image.jpg is not there).
void MakeFrame() {
    forms::Touch(platform::Form::Main);
    forms::Show(platform::Form::Main);
    Pump();
}

// Takes a decoder's rows and does nothing with them.
class Discard final : public platform::pictures::RowSink {
  public:
    bool Begin(std::int32_t, std::int32_t, platform::pictures::Orientation) override {
        return true;
    }
    void Row(std::span<const std::uint32_t>) override {}
};

// libjpeg-turbo alone: the file read and decoded at the scale that gives `minimum` pixels, the
// rows handed to nobody. False when it does not take the file.
bool LibjpegFloor(const fs::path& file, const platform::PixelSize& minimum) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    platform::jpeg::MemorySource source(bytes);
    platform::jpeg::Decoder decoder(source);
    if (decoder.ReadHeader() != platform::jpeg::Outcome::Done) return false;
    Discard discard;
    return decoder.ReadRows(minimum, discard) == platform::jpeg::Outcome::Done;
}

// libwebp alone: the file read and decoded by libwebp at the size the frame's driver asks for
// (platform::webp::ScaledSize) into a buffer libwebp makes, in the frame's pixel layout. False
// when it does not take the file.
bool LibwebpFloor(const fs::path& file, const platform::PixelSize& minimum) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(bytes.data(), bytes.size(), &config.input) != VP8_STATUS_OK)
        return false;
    const auto scaled =
        platform::webp::ScaledSize(static_cast<std::uint32_t>(config.input.width),
                                   static_cast<std::uint32_t>(config.input.height), minimum);
    config.options.use_scaling = 1;
    config.options.scaled_width = static_cast<int>(scaled.width);
    config.options.scaled_height = static_cast<int>(scaled.height);
    config.output.colorspace = MODE_bgrA;
    const bool done = WebPDecode(bytes.data(), bytes.size(), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return done;
}

void LoadToPaint(const fs::path& file) {
    mainMod::shared.PicturePath = U16(file);
    frmMain::LoadAndSizePicture();
    frmMain::LayoutCompanions();
}

constexpr double kMB = 1024.0 * 1024.0;

int Make(const fs::path& dir) {
    fs::create_directories(dir);
    int failed = 0;
    for (const PictureKind& picture : kPictures) {
        if (picture.madeOutside) continue;
        if (!bench::MakePicture(picture, dir / picture.file)) {
            std::printf("could not write %ls\n", picture.file);
            ++failed;
        }
    }
    if (!bench::MakePicture(kWarmUp, dir / kWarmUp.file)) ++failed;
    return failed ? 1 : 0;
}

// Child: the memory of one load-to-paint from an empty frame, printed as numbers in bytes: the
// peak over the empty frame, the memory after the load over the empty frame, how far the
// process's peak already stood above the empty frame before the load (near 0: the first figure
// is this load's own), and 1 when the figures are the working set (Wine). The empty frame has
// loaded a 16x16 picture, so that WIC's code and data count on both sides.
int MeasureMemory(const fs::path& file, const fs::path& warmUp) {
    MakeFrame();
    LoadToPaint(warmUp);
    Pump();
    const bench::Memory empty = bench::MemoryNow();
    LoadToPaint(file);
    Pump();
    const bench::Memory after = bench::MemoryNow();
    std::printf("%.0f %.0f %.0f %d\n", after.peak - empty.current, after.current - empty.current,
                empty.peak - empty.current, after.residentSet ? 1 : 0);
    return 0;
}

struct Row {
    std::string name;
    double floor = 0, load = 0, size = 0;
    double jpegFloor = -1;         // libjpeg-turbo at the frame's scale; < 0: not a JPEG it takes
    double webpFloor = -1;         // libwebp at the frame's scale; < 0: not a WebP it takes
    double buffer = 0;             // the decoder's own full-size buffer, bytes
    double peak = -1, steady = 0;  // over the empty frame, bytes; peak < 0: not measured
    double peakBefore = 0;         // the child's peak above the empty frame before the load
    std::optional<bench::Steps> steps{};  // medians of each step; empty when a step failed
};

// Each step's median over the runs.
bench::Steps MedianSteps(const std::vector<bench::Steps>& runs) {
    const auto median = [&](double bench::Steps::*step) {
        std::vector<double> v;
        for (const bench::Steps& s : runs) v.push_back(s.*step);
        return Median(v);
    };
    return {median(&bench::Steps::open),   median(&bench::Steps::header),
            median(&bench::Steps::decode), median(&bench::Steps::scale),
            median(&bench::Steps::turn),   median(&bench::Steps::paint),
            median(&bench::Steps::colour)};
}

int Table(const fs::path& dir, int runs, const fs::path& exe) {
    if (Make(dir) != 0) std::printf("some pictures could not be written\n");
    MakeFrame();
    LoadToPaint(dir / kWarmUp.file);
    Pump();

    std::vector<Row> rows;
    bool residentSet = false;
    for (const PictureKind& picture : kPictures) {
        const fs::path file = dir / picture.file;
        Row row{picture.name};
        std::error_code missing;
        if (!fs::exists(file, missing)) {
            std::printf("%-28s  (%ls is not there: skipped)\n", picture.name,
                        file.wstring().c_str());
            continue;
        }
        // Wine's WIC has no WebP decoder: that row has no WIC figures. Nor has it a HEIF decoder
        // (nor has Windows without the Store's extensions): libheif's own decode is the floor
        // there.
        const bool heif = picture.kind == Kind::Heif;
        const auto floor = [&] { return heif ? bench::HeifFloor(file) : bench::DecodeFloor(file); };
        const auto decoded = floor();
        row.buffer = decoded ? static_cast<double>(decoded->Bytes()) : -1;
        std::vector<double> floors, loads, sizes, jpegFloors, webpFloors;
        std::vector<bench::Steps> steps;
        // Interleaved, so that a slow moment of the machine falls on all alike.
        for (int i = 0; i < runs; ++i) {
            if (decoded) floors.push_back(Time([&] { floor(); }));
            Pump();
            loads.push_back(Time([&] { LoadToPaint(file); }));
            Pump();
            // The pixels the frame asked of the decoder: those of the copy it keeps, as the
            // picture is stored.
            const bool jpeg = picture.kind == Kind::Jpeg, webp = picture.kind == Kind::WebP;
            if ((jpeg || webp) && mainMod::shared.imgMain) {
                const auto& kept = mainMod::shared.imgMain->kept;
                const bool turned = picture.width != picture.height &&
                                    (kept.width > kept.height) != (picture.width > picture.height);
                const platform::PixelSize minimum{
                    static_cast<double>(turned ? kept.height : kept.width),
                    static_cast<double>(turned ? kept.width : kept.height)};
                bool taken = false;
                const double t = Time([&] {
                    taken = jpeg ? LibjpegFloor(file, minimum) : LibwebpFloor(file, minimum);
                });
                if (taken) (jpeg ? jpegFloors : webpFloors).push_back(t);
            }
            // The same load again, step by step, while the frame holds and shows this picture.
            if (mainMod::shared.imgMain) {
                if (auto s = bench::TimeSteps(file, mainMod::shared.imgMain->kept))
                    steps.push_back(*s);
                Pump();
            }
            sizes.push_back(Time([&] { frmMain::mnuSize_Click(2); }));
            Pump();
        }
        row.floor = floors.empty() ? -1 : Median(floors);
        row.load = Median(loads);
        row.size = Median(sizes);
        if (!jpegFloors.empty()) row.jpegFloor = Median(jpegFloors);
        if (!webpFloors.empty()) row.webpFloor = Median(webpFloors);
        if (steps.size() == static_cast<std::size_t>(runs)) row.steps = MedianSteps(steps);
        if (auto out = bench::RunSelf(L"--memory \"" + file.wstring() + L"\" \"" +
                                      (dir / kWarmUp.file).wstring() + L"\"")) {
            double before = 0;
            int resident = 0;
            if (std::sscanf(out->c_str(), "%lf %lf %lf %d", &row.peak, &row.steady, &before,
                            &resident) == 4) {
                row.peakBefore = before;
                residentSet = resident != 0;
            } else {
                row.peak = -1;
            }
        }
        rows.push_back(row);
        std::fflush(stdout);
    }

    // What the frame does whatever the picture (sizing, caption, windows): a 16x16 picture.
    std::vector<double> fixed;
    for (int i = 0; i < runs; ++i) {
        fixed.push_back(Time([&] { LoadToPaint(dir / kWarmUp.file); }));
        Pump();
    }
    std::printf(
        "\nmedians of %d runs; memory over the empty frame, in a fresh process per "
        "picture; load-to-paint of a 16x16 picture (the frame's own work): %.1f ms\n\n",
        runs, Median(fixed));
    std::printf("memory figures: %s\n\n",
                residentSet ? "resident set (VmRSS, VmHWM): Wine reports no private bytes"
                            : "private bytes (PrivateUsage, PeakPagefileUsage)");
    std::printf(
        "| picture | WIC full ms (libheif full for HEIC and AVIF) | libjpeg-turbo at the frame's "
        "scale ms | libwebp at the frame's scale ms | load-to-paint ms | ÷ WIC (÷ libheif) | ÷ "
        "libjpeg-turbo | ÷ libwebp | size change ms | WIC buffer MB | peak MB | steady MB | peak "
        "before MB |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    // A figure, or "-" where there is none (below 0).
    const auto figure = [](double v, const char* format) {
        if (v < 0) return std::string("-");
        char text[32];
        std::snprintf(text, sizeof text, format, v);
        return std::string(text);
    };
    const auto over = [](double load, double floor) { return floor > 0 ? load / floor : -1; };
    for (const Row& r : rows) {
        std::printf("| %s | %s | %s | %s | %.0f | %s | %s | %s | %.0f | %s | ", r.name.c_str(),
                    figure(r.floor, "%.0f").c_str(), figure(r.jpegFloor, "%.0f").c_str(),
                    figure(r.webpFloor, "%.0f").c_str(), r.load,
                    figure(over(r.load, r.floor), "%.2f").c_str(),
                    figure(over(r.load, r.jpegFloor), "%.2f").c_str(),
                    figure(over(r.load, r.webpFloor), "%.2f").c_str(), r.size,
                    figure(r.buffer / kMB, "%.1f").c_str());
        if (r.peak >= 0)
            std::printf("%.1f | %.2f | %.1f |\n", r.peak / kMB, r.steady / kMB, r.peakBefore / kMB);
        else
            std::printf("- | - | - |\n");
    }
    std::fflush(stdout);

    // The frame's own share: the steps of the same load one by one; "rest" is what
    // load-to-paint spends beyond them (sizing, the caption, the shadow and caption windows).
    std::printf(
        "\n| picture | file open ms | header ms | decode ms | scale ms | turn ms | paint ms | "
        "rest ms | load-to-paint ms | Adobe RGB colour ms |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        if (!r.steps) {
            std::printf("| %s | - | - | - | - | - | - | - | %.0f | - |\n", r.name.c_str(), r.load);
            continue;
        }
        const bench::Steps& s = *r.steps;
        const double sum = s.open + s.header + s.decode + s.scale + s.turn + s.paint;
        std::printf("| %s | %.2f | %.2f | %.1f | %.1f | %.2f | %.1f | %.1f | %.0f | %.2f |\n",
                    r.name.c_str(), s.open, s.header, s.decode, s.scale, s.turn, s.paint,
                    r.load - sum, r.load, s.colour);
    }
    std::fflush(stdout);

    if (!exe.empty()) {
        // Vistrelle.exe in a folder of its own with a 6000x4000 image.jpg beside it.
        const fs::path folder = dir / L"startup";
        fs::create_directories(folder);
        std::error_code ec;
        fs::copy_file(exe, folder / L"Vistrelle.exe", fs::copy_options::overwrite_existing, ec);
        fs::copy_file(dir / L"baseline.jpg", folder / L"image.jpg",
                      fs::copy_options::overwrite_existing, ec);
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const auto frame =
            bench::StartUpTimes(folder / L"Vistrelle.exe", L"", L"VistrelleMain", runs);
        const auto empty =
            bench::StartUpTimes(self, L"--empty-window", bench::kEmptyWindowClass, runs);
        std::printf("\n| start-up | median ms | runs |\n|---|---:|---:|\n");
        std::printf("| Vistrelle.exe, 6000x4000 image.jpg, to its frame painted | %.0f | %zu |\n",
                    Median(frame), frame.size());
        std::printf("| empty window of the bench's own | %.0f | %zu |\n", Median(empty),
                    empty.size());
        if (auto idle = bench::IdleCpu(folder / L"Vistrelle.exe", 10))
            std::printf("\nidle: Vistrelle.exe used %.1f ms of CPU time over 10 s\n", *idle);
        else
            std::printf("\nidle: Vistrelle.exe did not come up\n");
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const HRESULT ole = ::OleInitialize(nullptr);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    int code = 2;
    if (args.size() == 1 && args[0] == L"--empty-window") {
        code = bench::RunEmptyWindow();
    } else if (args.size() == 2 && args[0] == L"--make") {
        code = Make(args[1]);
    } else if (args.size() >= 2 && args[0] == L"--folder") {
        MakeFrame();
        code = bench::FolderTable(args[1], args.size() == 4 ? std::max(1, std::stoi(args[3])) : 5);
    } else if (args.size() == 3 && args[0] == L"--memory") {
        code = MeasureMemory(args[1], args[2]);
    } else if (!args.empty() && args[0].rfind(L"--", 0) != 0) {
        int runs = 5;
        fs::path exe;
        for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == L"--runs") runs = std::max(1, std::stoi(args[i + 1]));
            if (args[i] == L"--exe") exe = args[i + 1];
        }
        code = Table(args[0], runs, exe);
    } else {
        std::printf("usage: vistrelle_bench DIR [--runs N] [--exe Vistrelle.exe] | --make DIR\n");
    }
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return code;
}
