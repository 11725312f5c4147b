// libjpeg-turbo, Little CMS and zlib, linked into the unit tests.
#include "tests/common/library_checks.hpp"
