#include "imaging/decoding/heif_boxes.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include "imaging/decoding/picture_header.hpp"

namespace platform::heif {

namespace {

using bytes::Reader;

constexpr std::uint32_t FourCc(const char (&s)[5]) {
    return std::uint32_t{static_cast<std::uint8_t>(s[0])} << 24 |
           std::uint32_t{static_cast<std::uint8_t>(s[1])} << 16 |
           std::uint32_t{static_cast<std::uint8_t>(s[2])} << 8 |
           std::uint32_t{static_cast<std::uint8_t>(s[3])};
}

constexpr std::array<std::uint32_t, 9> kBrands = {FourCc("heic"), FourCc("heix"), FourCc("hevc"),
                                                  FourCc("heim"), FourCc("heis"), FourCc("mif1"),
                                                  FourCc("msf1"), FourCc("avif"), FourCc("avis")};

bool Known(std::uint32_t brand) {
    for (const std::uint32_t b : kBrands)
        if (b == brand) return true;
    return false;
}

// A top-level box may run on past the bytes; one inside a box may not pass its parent's end.
constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
// Properties an association can name: its index has 15 bits.
constexpr std::size_t kMaxProperties = 0x7FFF;

struct Box {
    std::uint32_t type = 0;
    // `end` is kNoLimit for a top-level box that runs to the end of the file (size 0).
    std::uint64_t start = 0, body = 0, end = 0;
};

enum class Step : std::uint8_t { Box, End, CutShort, Malformed };

// The box at `at` within a parent that ends at `limit` (kNoLimit at the top level).
Step BoxAt(const Reader& r, std::uint64_t at, std::uint64_t limit, Box& box) {
    if (at == limit) return Step::End;
    if (limit != kNoLimit && limit - at < 8) return Step::Malformed;
    std::uint32_t size = 0, type = 0;
    if (at > r.Size() || !r.U32BE(static_cast<std::size_t>(at), size) ||
        !r.U32BE(static_cast<std::size_t>(at) + 4, type))
        return Step::CutShort;
    std::uint64_t header = 8, length = size;
    if (size == 1) {  // a 64-bit size follows the type
        std::uint32_t high = 0, low = 0;
        if (limit != kNoLimit && limit - at < 16) return Step::Malformed;
        if (!r.U32BE(static_cast<std::size_t>(at) + 8, high) ||
            !r.U32BE(static_cast<std::size_t>(at) + 12, low))
            return Step::CutShort;
        header = 16;
        length = std::uint64_t{high} << 32 | low;
    } else if (size == 0) {  // to the end of the parent, or of the file
        box = {type, at, at + header, limit};
        return Step::Box;
    }
    if (length < header || length > limit - at) return Step::Malformed;
    box = {type, at, at + header, at + length};
    return Step::Box;
}

// A box's own bytes, to be read by offsets from its start.
Reader Inside(const Reader& r, const Box& box) {
    return r.Part(static_cast<std::size_t>(box.start),
                  static_cast<std::size_t>(box.end - box.start));
}

// The first child of `parent` (a full box when `skip` is 4) of the type; false without one.
// Every child must lie within the parent.
Step FindChild(const Reader& r, const Box& parent, std::uint64_t skip, std::uint32_t type,
               Box& found) {
    if (parent.end - parent.body < skip) return Step::Malformed;
    Box child;
    for (std::uint64_t at = parent.body + skip;; at = child.end) {
        const Step step = BoxAt(r, at, parent.end, child);
        if (step != Step::Box) return step;
        if (child.type == type) {
            found = child;
            return Step::Box;
        }
    }
}

// What the properties associated with the primary item say: the first ispe, and whether the
// irot boxes after it turn it a quarter (an odd number of quarters in all).
struct Primary {
    bool sized = false, swapped = false;
    std::uint32_t width = 0, height = 0;
};

bool Apply(const Reader& r, const Box& property, Primary& primary) {
    const Reader b = Inside(r, property);
    const std::size_t body = static_cast<std::size_t>(property.body - property.start);
    if (property.type == FourCc("ispe") && !primary.sized) {
        // version and flags, then the width and height
        if (!b.U32BE(body + 4, primary.width) || !b.U32BE(body + 8, primary.height)) return false;
        primary.sized = true;
    } else if (property.type == FourCc("irot")) {
        // Transformative properties come after the descriptive ones: libheif turns the size
        // only by an irot that follows the ispe (libheif 1.15 itself writes the turned size
        // into an ispe that follows its irot).
        std::uint8_t angle = 0;
        if (!b.U8(body, angle)) return false;
        if ((angle & 1) && primary.sized) primary.swapped = !primary.swapped;
    }
    return true;
}

// One ipma box's associations of the item `id` applied from the properties of ipco.
bool Associate(const Reader& r, const Box& ipma, std::uint32_t id,
               const std::vector<Box>& properties, Primary& primary) {
    const Reader b = Inside(r, ipma);
    std::size_t at = static_cast<std::size_t>(ipma.body - ipma.start);
    std::uint8_t version = 0;
    std::uint32_t flags = 0, entries = 0;
    if (!b.U8(at, version) || !b.U32BE(at, flags) || !b.U32BE(at + 4, entries)) return false;
    at += 8;
    const bool wideIds = version >= 1, wideIndices = (flags & 1) != 0;
    for (std::uint32_t e = 0; e < entries; ++e) {
        std::uint32_t item = 0;
        std::uint16_t narrow = 0;
        if (wideIds ? !b.U32BE(at, item) : !b.U16BE(at, narrow)) return false;
        if (!wideIds) item = narrow;
        at += wideIds ? 4 : 2;
        std::uint8_t count = 0;
        if (!b.U8(at++, count)) return false;
        for (std::uint8_t a = 0; a < count; ++a) {
            std::uint16_t index = 0;
            std::uint8_t small = 0;
            if (wideIndices ? !b.U16BE(at, index) : !b.U8(at, small)) return false;
            at += wideIndices ? 2 : 1;
            index = wideIndices ? index & 0x7FFF : small & 0x7F;  // without the essential bit
            if (item != id || index == 0) continue;
            if (index > properties.size()) return false;
            if (!Apply(r, properties[index - 1], primary)) return false;
        }
    }
    return true;
}

// A number of 0, 4 or 8 bytes, as iloc's fields are.
bool Sized(const Reader& b, std::size_t& at, unsigned bytes, std::uint64_t& out) {
    std::uint32_t high = 0, low = 0;
    switch (bytes) {
        case 0:
            out = 0;
            return true;
        case 4:
            if (!b.U32BE(at, low)) return false;
            out = low, at += 4;
            return true;
        case 8:
            if (!b.U32BE(at, high) || !b.U32BE(at + 4, low)) return false;
            out = std::uint64_t{high} << 32 | low, at += 8;
            return true;
        default:
            return false;
    }
}

// A derived image item: a grid of tiles or an overlay, made on a canvas its data gives.
struct Derived {
    std::uint32_t id = 0;
    bool grid = false;
};

// The derived items iinf lists (infe of version 2 or 3).
bool DerivedItems(const Reader& r, const Box& meta, std::vector<Derived>& derived) {
    Box iinf;
    if (FindChild(r, meta, 4, FourCc("iinf"), iinf) != Step::Box) return true;
    std::uint8_t version = 0;
    if (!r.U8(static_cast<std::size_t>(iinf.body), version)) return false;
    Box infe{0, 0, 0, iinf.body + 4 + (version == 0 ? 2 : 4)};
    if (infe.end > iinf.end) return false;
    for (;;) {
        const Step step = BoxAt(r, infe.end, iinf.end, infe);
        if (step == Step::End) return true;
        if (step != Step::Box) return false;
        if (infe.type != FourCc("infe")) continue;
        const Reader b = Inside(r, infe);
        const std::size_t at = static_cast<std::size_t>(infe.body - infe.start);
        std::uint8_t v = 0;
        std::uint16_t narrow = 0;
        std::uint32_t item = 0, kind = 0;
        if (!b.U8(at, v)) return false;
        if (v < 2) continue;
        if (v == 2 ? !b.U16BE(at + 4, narrow) : !b.U32BE(at + 4, item)) return false;
        if (v == 2) item = narrow;
        if (!b.U32BE(at + 4 + (v == 2 ? 2 : 4) + 2, kind)) return false;
        if (kind == FourCc("grid") || kind == FourCc("iovl"))
            derived.push_back({item, kind == FourCc("grid")});
    }
}

// Where the item's data starts, as iloc gives its first extent: an offset in the file, or in
// the data of the meta box's idat (construction method 1).
struct Extent {
    std::uint64_t offset = 0;
    bool inIdat = false;
};

bool ItemExtent(const Reader& r, const Box& meta, std::uint32_t id, Extent& extent) {
    Box iloc;
    if (FindChild(r, meta, 4, FourCc("iloc"), iloc) != Step::Box) return false;
    const Reader b = Inside(r, iloc);
    std::size_t at = static_cast<std::size_t>(iloc.body - iloc.start);
    std::uint8_t version = 0, sizes = 0, moreSizes = 0;
    if (!b.U8(at, version) || !b.U8(at + 4, sizes) || !b.U8(at + 5, moreSizes)) return false;
    at += 6;
    const unsigned offsetSize = sizes >> 4, lengthSize = sizes & 15, baseSize = moreSizes >> 4;
    const unsigned indexSize = version >= 1 ? moreSizes & 15 : 0;
    std::uint32_t count = 0;
    std::uint16_t narrow = 0;
    if (version < 2 ? !b.U16BE(at, narrow) : !b.U32BE(at, count)) return false;
    if (version < 2) count = narrow;
    at += version < 2 ? 2 : 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t item = 0;
        std::uint16_t method = 0, extents = 0;
        if (version < 2 ? !b.U16BE(at, narrow) : !b.U32BE(at, item)) return false;
        if (version < 2) item = narrow;
        at += version < 2 ? 2 : 4;
        if (version >= 1) {
            if (!b.U16BE(at, method)) return false;
            at += 2;
        }
        std::uint64_t base = 0, offset = 0, skipped = 0;
        if (!b.Has(at, 2)) return false;
        at += 2;  // data reference index
        if (!Sized(b, at, baseSize, base) || !b.U16BE(at, extents)) return false;
        at += 2;
        for (std::uint16_t e = 0; e < extents; ++e) {
            if (!Sized(b, at, indexSize, skipped) || !Sized(b, at, offsetSize, offset) ||
                !Sized(b, at, lengthSize, skipped))
                return false;
            if (item == id && e == 0) {
                extent = {base + offset, (method & 15) == 1};
                return base + offset >= base;
            }
        }
    }
    return false;
}

// The canvas a derived image is made on, from the item's data.
Lookup CanvasOf(const Reader& r, const Box& meta, const Derived& item, std::uint32_t& width,
                std::uint32_t& height) {
    Extent extent;
    if (!ItemExtent(r, meta, item.id, extent)) return Lookup::Malformed;
    // version, flags; a grid's rows and columns, an overlay's fill colour; the canvas's size.
    Reader data = r;
    std::uint64_t at = extent.offset;
    if (extent.inIdat) {
        Box idat;
        if (FindChild(r, meta, 4, FourCc("idat"), idat) != Step::Box) return Lookup::Malformed;
        data = Inside(r, idat);
        at += idat.body - idat.start;
    }
    std::uint8_t flags = 0;
    const std::uint64_t sizes = at + (item.grid ? 4 : 10);
    std::uint16_t w16 = 0, h16 = 0;
    const bool read = at <= data.Size() && data.U8(static_cast<std::size_t>(at) + 1, flags) &&
                      ((flags & 1) ? data.U32BE(static_cast<std::size_t>(sizes), width) &&
                                         data.U32BE(static_cast<std::size_t>(sizes) + 4, height)
                                   : data.U16BE(static_cast<std::size_t>(sizes), w16) &&
                                         data.U16BE(static_cast<std::size_t>(sizes) + 2, h16));
    // Outside idat the data may stand after the meta box, in bytes still to come.
    if (!read) return extent.inIdat ? Lookup::Malformed : Lookup::CutShort;
    if (!(flags & 1)) width = w16, height = h16;
    return Lookup::Found;
}

// Whether an image of width x height is within what the primary image needs: within the
// budget's side (or the primary's own) and four times the primary's pixels (a megapixel at
// least). libheif decodes an alpha image, a grid's tiles and a derived image's canvas by their
// own sizes, whatever the primary's says.
bool Within(std::uint32_t width, std::uint32_t height, const Primary& primary) {
    const std::uint64_t bound =
        std::max<std::uint64_t>(4 * std::uint64_t{primary.width} * primary.height, 1u << 20);
    const std::uint32_t side = std::max({pictures::kMaxSide, primary.width, primary.height});
    return width <= side && height <= side && std::uint64_t{width} * height <= bound;
}

// Every derived image's canvas: the primary's must be its ispe's size, either way round
// (libheif 1.15 writes the turned size into the ispe of a turned grid); the others within it.
Lookup CheckCanvases(const Reader& r, const Box& meta, std::uint32_t id, const Primary& primary) {
    std::vector<Derived> derived;
    if (!DerivedItems(r, meta, derived)) return Lookup::Malformed;
    for (const Derived& item : derived) {
        std::uint32_t width = 0, height = 0;
        if (const Lookup l = CanvasOf(r, meta, item, width, height); l != Lookup::Found) return l;
        const bool fits = item.id == id ? (width == primary.width && height == primary.height) ||
                                              (width == primary.height && height == primary.width)
                                        : Within(width, height, primary);
        if (!fits) return Lookup::Malformed;
    }
    return Lookup::Found;
}

// Whether every image the file sizes by an ispe (an alpha image, a grid's tiles, a thumbnail)
// is within what the primary image needs.
bool OthersWithin(const Reader& r, const std::vector<Box>& properties, const Primary& primary) {
    for (const Box& property : properties) {
        if (property.type != FourCc("ispe")) continue;
        const Reader b = Inside(r, property);
        const std::size_t body = static_cast<std::size_t>(property.body - property.start);
        std::uint32_t width = 0, height = 0;
        if (!b.U32BE(body + 4, width) || !b.U32BE(body + 8, height)) return false;
        if (!Within(width, height, primary)) return false;
    }
    return true;
}

Lookup FromStep(Step step) {
    return step == Step::CutShort ? Lookup::CutShort : Lookup::Malformed;
}

// The meta box, whole within the bytes: every answer from here is final.
Lookup ReadMeta(const Reader& r, const Box& meta, PrimarySize& size) {
    Box pitm, iprp, ipco;
    if (const Step s = FindChild(r, meta, 4, FourCc("pitm"), pitm); s != Step::Box)
        return Lookup::Malformed;
    if (const Step s = FindChild(r, meta, 4, FourCc("iprp"), iprp); s != Step::Box)
        return Lookup::Malformed;
    if (const Step s = FindChild(r, iprp, 0, FourCc("ipco"), ipco); s != Step::Box)
        return Lookup::Malformed;
    const Reader p = Inside(r, pitm);
    const std::size_t body = static_cast<std::size_t>(pitm.body - pitm.start);
    std::uint8_t version = 0;
    std::uint32_t id = 0;
    std::uint16_t narrowId = 0;
    if (!p.U8(body, version)) return Lookup::Malformed;
    if (version == 0 ? !p.U16BE(body + 4, narrowId) : !p.U32BE(body + 4, id))
        return Lookup::Malformed;
    if (version == 0) id = narrowId;

    std::vector<Box> properties;
    Box child;
    for (std::uint64_t at = ipco.body; properties.size() < kMaxProperties; at = child.end) {
        const Step step = BoxAt(r, at, ipco.end, child);
        if (step == Step::End) break;
        if (step != Step::Box) return Lookup::Malformed;
        properties.push_back(child);
    }
    Primary primary;
    for (std::uint64_t at = iprp.body;; at = child.end) {
        const Step step = BoxAt(r, at, iprp.end, child);
        if (step == Step::End) break;
        if (step != Step::Box) return Lookup::Malformed;
        if (child.type == FourCc("ipma") && !Associate(r, child, id, properties, primary))
            return Lookup::Malformed;
    }
    if (!primary.sized || !OthersWithin(r, properties, primary)) return Lookup::Malformed;
    if (const Lookup canvas = CheckCanvases(r, meta, id, primary); canvas != Lookup::Found)
        return canvas;
    size = primary.swapped ? PrimarySize{primary.height, primary.width}
                           : PrimarySize{primary.width, primary.height};
    return Lookup::Found;
}

}  // namespace

bool HasHeifBrand(const Reader& r) {
    static constexpr std::uint8_t kFtyp[] = {'f', 't', 'y', 'p'};
    if (!r.Matches(4, kFtyp)) return false;
    std::uint32_t size = 0, brand = 0;
    if (!r.U32BE(8, brand)) return true;  // the major brand is still to come
    if (Known(brand)) return true;
    (void)r.U32BE(0, size);
    // Major brand, minor version, then the compatible brands to the end of the box.
    for (std::uint64_t at = 16; size >= 16 && at + 4 <= size; at += 4) {
        if (!r.U32BE(static_cast<std::size_t>(at), brand)) return true;
        if (Known(brand)) return true;
    }
    return false;
}

Lookup ReadPrimarySize(const Reader& r, PrimarySize& size) {
    Box box;
    for (std::uint64_t at = 0;; at = box.end) {
        const Step step = BoxAt(r, at, kNoLimit, box);
        if (step != Step::Box) return FromStep(step);
        // Nothing follows a box that runs to the end of the file, and a meta box must be read
        // whole.
        if (box.end == kNoLimit) return Lookup::Malformed;
        if (box.type == FourCc("meta")) {
            if (box.end > r.Size()) return Lookup::CutShort;
            return ReadMeta(r, box, size);
        }
    }
}

}  // namespace platform::heif
