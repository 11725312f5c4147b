// The chooser of the backend's decode chain (see picture_decoder.hpp).

#include "platform/diagnostics.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"
#include "platform/win32/text.hpp"

namespace platform::win32 {

namespace {

// Asked in this order; a new decoder is one line here. WIC, last, takes every format.
// clang-format off
constexpr Opening (*kDecoders[])(OpenedFile&) = {
    OpenWithJpegLibrary,
    OpenWithWebPLibrary,
    OpenWithGifLibrary,
    OpenWithHeif,
    OpenWithWic,
};
// clang-format on

}  // namespace

bool ReportOn(const std::wstring& path, const std::string& why) {
    diagnostics::Report(u"OpenPicture " + U16(path) + u": " +
                        std::u16string(why.begin(), why.end()));
    return false;
}

void PictureDecoder::KeepProfile(icc::Embedded embedded, bool cmyk) {
    if (!embedded.problem.empty()) {
        Report("its colour profile is not used: " + embedded.problem);
    } else if (cmyk && !embedded.bytes.empty()) {
        if (const std::string problem = TakeCmykProfile(embedded.bytes); !problem.empty())
            Report("its CMYK profile is not used: " + problem);
    } else {
        profile_ = std::move(embedded.bytes);
    }
}

std::unique_ptr<PictureDecoder> ChooseDecoder(OpenedFile& file) {
    for (const auto open : kDecoders) {
        Opening opening = open(file);
        if (!opening.declined) return std::move(opening.decoder);
    }
    return nullptr;
}

}  // namespace platform::win32
