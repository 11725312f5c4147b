// The libraries of the field, linked into the unit tests.
#include "tests/common/library_checks.hpp"
