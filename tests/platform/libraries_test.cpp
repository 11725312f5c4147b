// libjpeg-turbo, Little CMS and zlib, linked into the Windows test program.
#include "tests/common/library_checks.hpp"
