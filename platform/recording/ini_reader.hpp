// A portable reading of one value of a Windows profile (INI) file, by the rules of the
// platform's profile reader (GetPrivateProfileStringW), for the backends that have no such
// reader (the recording backend of the tests).
//
// The rules, as the Windows reader applies them (checked against Wine 8's reader, see
// tests/common/ini_cases.hpp):
// - Encoding: UTF-8 with the byte order mark EF BB BF, UTF-16LE with FF FE, UTF-16BE with
//   FE FF; any other file is text in the system's ANSI code page. A UTF-16 file's odd last
//   byte is dropped; invalid UTF-8 becomes U+FFFD.
// - Lines end at CR, LF or any run of them (CR LF, LF, CR alike).
// - Blanks are space, tab, the other ASCII white space (LF, VT, FF, CR) and ^Z (0x1A); they
//   are dropped around lines, section names, keys and values.
// - A line starting with '[' that holds a ']' opens a section; the name lies between the
//   '[' and the line's last ']'. A '[' line without ']' is an ordinary line.
// - Other lines are split at their first '=' into key and value; a line without '=' is a key
//   without a value, which still hides later lines of the same key and reads as "".
// - Lines before the first section belong to no section and are never found.
// - Section and key names match without regard to letter case: ASCII, Latin-1, Latin
//   Extended-A, Greek and Cyrillic letters (Wine 8 folds only ASCII letters).
// - The first section of the name is the only one searched (a later section of the same
//   name is not merged in) and the first line of the key in it gives the value.
// - A value of at least 2 characters that starts and ends with the same quotation mark (' or
//   ") loses both.
// - The value is cut to capacity - 1 UTF-16 code units, as the reader's buffer of capacity
//   characters holds them with the closing NUL; the text stops at a NUL character.
// - The section and key asked for are taken without their surrounding blanks, and up to their
//   first NUL character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::profile {

// Decodes text stored in the system's ANSI code page.
using AnsiDecoder = std::u16string (*)(std::string_view bytes);

// Windows-1252, the ANSI code page of Wine and of US/Western Windows. The five bytes that
// code page leaves undefined (81, 8D, 8F, 90, 9D) become U+0081 ... U+009D, as
// MultiByteToWideChar gives them.
std::u16string DecodeWindows1252(std::string_view bytes);

// The value of key in section of a profile file's bytes, as GetPrivateProfileStringW returns
// it with an empty default into a buffer of `capacity` characters: at most capacity - 1
// characters, "" when the section or the key is missing. (A missing file is the caller's
// business: it has no bytes to pass.)
std::u16string LookUpValue(std::string_view fileBytes, std::u16string_view section,
                           std::u16string_view key, std::size_t capacity,
                           AnsiDecoder decode = DecodeWindows1252);

}  // namespace platform::profile
