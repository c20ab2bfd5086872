// The asset compilers read their text sources with the game's own text reading, under their own
// namespace.
#pragma once

#include "formats/text.h"

namespace assets {
using namespace formats;
}  // namespace assets
