# Writes the packages' LICENSE.txt: the project's LICENSE, then third-party.txt.in filled with
# the notices of the libraries in Vistrelle.exe, read from the very sources it was built from so
# that they stay exact. Windows line ends, and a UTF-8 byte order mark: the notices name people
# with accented names, and the installer's licence page reads a text without one in the
# system's ANSI code page.
#   cmake -DOUTPUT=... -DLICENSE=... -DTEMPLATE=... -DJPEG_SOURCE_DIR=... -DJPEG_VERSION=...
#     -DJPEG_DEBIAN_VERSION=... -DLCMS2_SOURCE_DIR=... -DLCMS2_VERSION=...
#     -DLCMS2_DEBIAN_VERSION=... -DZLIB_HEADER=... -DZLIB_VERSION=..., the same three for WEBP,
#     DAV1D and GIF, the versions only for HEIF and DE265 (their texts ship as files of their
#     own), -DSOURCES_TAR=<the sources archive's name> -P licence.cmake

# The text of FILE from the first line holding BEGIN up to, not including, the first END after it.
function(excerpt out file begin end)
  file(READ ${file} text)
  string(FIND "${text}" "${begin}" first)
  if(first EQUAL -1)
    message(FATAL_ERROR "${file} no longer holds \"${begin}\": look at its notice again")
  endif()
  string(SUBSTRING "${text}" ${first} -1 text)
  string(FIND "${text}" "${end}" last)
  if(last EQUAL -1)
    message(FATAL_ERROR "${file} no longer holds \"${end}\" after \"${begin}\"")
  endif()
  string(SUBSTRING "${text}" 0 ${last} text)
  string(STRIP "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(READ ${JPEG_SOURCE_DIR}/LICENSE.md JPEG_LICENSE)
string(STRIP "${JPEG_LICENSE}" JPEG_LICENSE)
excerpt(JPEG_IJG ${JPEG_SOURCE_DIR}/README.ijg "LEGAL ISSUES\n====" "\nREFERENCES\n====")
# The assembly file's opening comment, its ";" taken off.
excerpt(JPEG_SIMD ${JPEG_SOURCE_DIR}/simd/nasm/jsimdext.inc ";\n; jsimdext.inc" "\n\n")
string(REGEX REPLACE "(^|\n);[ ]?" "\\1" JPEG_SIMD "${JPEG_SIMD}")
string(STRIP "${JPEG_SIMD}" JPEG_SIMD)
file(READ ${LCMS2_SOURCE_DIR}/COPYING LCMS2_COPYING)
string(STRIP "${LCMS2_COPYING}" LCMS2_COPYING)
# zlib.h's opening comment is zlib's notice.
excerpt(ZLIB_NOTICE ${ZLIB_HEADER} "/* zlib.h" "*/")
string(REGEX REPLACE "^/\\* " "" ZLIB_NOTICE "${ZLIB_NOTICE}")

foreach(notice WEBP:COPYING WEBP:PATENTS DAV1D:COPYING GIF:COPYING)
  string(REPLACE ":" ";" notice ${notice})
  list(GET notice 0 prefix)
  list(GET notice 1 name)
  file(READ ${${prefix}_SOURCE_DIR}/${name} text)
  string(STRIP "${text}" ${prefix}_${name})
endforeach()

file(READ ${LICENSE} licence)
file(READ ${TEMPLATE} third_party)
# Only the template's own @NAME@ are replaced; the notices put into it are not read again.
string(CONFIGURE "${third_party}" third_party @ONLY)
string(REGEX REPLACE "\r?\n" "\r\n" text "${licence}${third_party}")
string(ASCII 239 187 191 bom)
file(WRITE ${OUTPUT}.new "${bom}${text}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
