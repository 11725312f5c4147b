// Fuzz target: the reader of a remembered frame's record. Arbitrary bytes stand for the record
// file. Besides the sanitizers' checks, the reader's promises are checked: every field it gives
// lies in its range, and what it gives is written and read back unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/frame_record.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void Check(bool holds, const char* what) {
    if (!holds) Fail(what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace frame_record;
    const Record r = Read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (r.picture) Check(!r.picture->empty() && r.picture->size() <= kLongestPath, "picture");
    if (r.place.monitor)
        Check(!r.place.monitor->empty() && r.place.monitor->size() <= kLongestDevice, "monitor");
    if (const auto& a = r.place.monitorArea)
        Check(a->width > 0 && a->height > 0 && a->width <= kFarthest && a->height <= kFarthest &&
                  a->left >= -kFarthest && a->left <= kFarthest && a->top >= -kFarthest &&
                  a->top <= kFarthest,
              "monitor area");
    if (const auto& o = r.place.offset)
        Check(o->x >= -kFarthest && o->x <= kFarthest && o->y >= -kFarthest && o->y <= kFarthest,
              "place");
    if (r.place.dpi) Check(*r.place.dpi >= 24 && *r.place.dpi <= 2400, "dpi");
    if (r.size) Check(*r.size >= 0 && *r.size <= 2, "size");
    if (r.opacity) Check(*r.opacity >= 0 && *r.opacity <= 2, "opacity");
    if (r.shadow) Check(*r.shadow >= 0 && *r.shadow <= 3, "shadow");
    if (r.pace) Check(*r.pace <= 0x7FFFFFFF / 1000, "pace");
    Check(Read(Write(r)) == r, "what is read is written and read back unchanged");
    return 0;
}
