// Bounded reads of a file's bytes for the picture header and orientation readers: every read
// answers false instead of reading past the end, so a reader can tell "cut short" from
// "broken" and never touches a byte it was not given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::bytes {

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    // The bytes from `offset` on, at most `count` of them (none when offset is past the end).
    Reader Part(std::size_t offset, std::size_t count) const {
        if (offset > bytes_.size()) return Reader({});
        const std::size_t left = bytes_.size() - offset;
        return Reader(bytes_.subspan(offset, count < left ? count : left));
    }

    bool U8(std::size_t offset, std::uint8_t& out) const {
        if (!Has(offset, 1)) return false;
        out = bytes_[offset];
        return true;
    }
    bool U16BE(std::size_t offset, std::uint16_t& out) const {
        if (!Has(offset, 2)) return false;
        out = static_cast<std::uint16_t>((bytes_[offset] << 8) | bytes_[offset + 1]);
        return true;
    }
    bool U16LE(std::size_t offset, std::uint16_t& out) const {
        if (!Has(offset, 2)) return false;
        out = static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
        return true;
    }
    bool U16(std::size_t offset, bool bigEndian, std::uint16_t& out) const {
        return bigEndian ? U16BE(offset, out) : U16LE(offset, out);
    }
    bool U24LE(std::size_t offset, std::uint32_t& out) const {
        if (!Has(offset, 3)) return false;
        out = std::uint32_t{bytes_[offset]} | (std::uint32_t{bytes_[offset + 1]} << 8) |
              (std::uint32_t{bytes_[offset + 2]} << 16);
        return true;
    }
    bool U32BE(std::size_t offset, std::uint32_t& out) const {
        if (!Has(offset, 4)) return false;
        out = (std::uint32_t{bytes_[offset]} << 24) | (std::uint32_t{bytes_[offset + 1]} << 16) |
              (std::uint32_t{bytes_[offset + 2]} << 8) | std::uint32_t{bytes_[offset + 3]};
        return true;
    }
    bool U32LE(std::size_t offset, std::uint32_t& out) const {
        if (!Has(offset, 4)) return false;
        out = std::uint32_t{bytes_[offset]} | (std::uint32_t{bytes_[offset + 1]} << 8) |
              (std::uint32_t{bytes_[offset + 2]} << 16) | (std::uint32_t{bytes_[offset + 3]} << 24);
        return true;
    }
    bool U32(std::size_t offset, bool bigEndian, std::uint32_t& out) const {
        return bigEndian ? U32BE(offset, out) : U32LE(offset, out);
    }
    bool Matches(std::size_t offset, std::span<const std::uint8_t> expected) const {
        if (!Has(offset, expected.size())) return false;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (bytes_[offset + i] != expected[i]) return false;
        }
        return true;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace platform::bytes
