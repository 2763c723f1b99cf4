// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string>

namespace zelmor {

// Replaces Path with Bytes so that a crash leaves either the old file or the whole new one: the
// bytes go to a temporary file in the same folder, are flushed to disk, renamed over Path, and the
// folder entry is flushed too. Returns false with a readable reason in Error.
bool WriteFileAtomically(const QString& path, const std::string& bytes, std::string& error);

} // namespace zelmor
