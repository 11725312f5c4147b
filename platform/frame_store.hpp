// Where each frame keeps its record when frames are remembered: one store per program folder,
// under the user's local application data (places belong to this machine's monitors), one
// record per identity. And the claim that keeps an identity to one running frame.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::frame_store {

// The identities that have a record in this program folder's store; empty when there is none
// or the store cannot be listed. Looking creates nothing.
std::vector<std::u16string> List();
// The first `limit` bytes of an identity's record; empty when it has none or it cannot be read.
std::optional<std::string> Read(std::u16string_view identity, std::size_t limit);
// Replaces the record whole or not at all: a crash or a power loss during the write leaves the
// previous record as it was. Creates the store on its first write.
bool Write(std::u16string_view identity, std::string_view bytes);
// The record goes; true when it is gone (or was never there).
bool Remove(std::u16string_view identity);

// A new identity, different from every other (thirty-two hexadecimal digits).
std::u16string NewIdentity();
// Takes the identity for this process until it ends; false when a running frame holds it.
bool Claim(std::u16string_view identity);
// Whether a running frame holds the identity now.
bool Held(std::u16string_view identity);

}  // namespace platform::frame_store
