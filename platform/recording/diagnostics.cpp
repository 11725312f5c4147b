// Recording backend: reports are kept in the recorder, for the tests to read.
#include "platform/diagnostics.hpp"

#include <string>

#include "platform/recording/recorder.hpp"

namespace platform::diagnostics {

void Report(std::u16string_view message) {
    recording::Rec().reports.push_back(recording::Utf8(message));
}

void Report(std::string_view asciiMessage) {
    recording::Rec().reports.emplace_back(asciiMessage);
}

}  // namespace platform::diagnostics
