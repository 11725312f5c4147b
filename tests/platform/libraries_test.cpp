// The libraries of the field, linked into the Windows test program (libheif and libde265 as the
// DLLs beside it).
#include "tests/common/library_checks.hpp"
