// SPDX-License-Identifier: MIT
// The profile-set blob the adapter stores and exchanges: a five-byte header, the set's name, then up
// to ten profile blobs, each preceded by its 16-bit length. TProfileSet::ToBlob and FromBlob build
// and read it.
#pragma once

#include "ProfileBlob.h"

#include <string>

namespace zelmor {

// Structural check of a set blob, including each profile blob; on failure Message names the first fault.
bool ValidateProfileSetBlob(TByteView bytes, std::string& message);

} // namespace zelmor
