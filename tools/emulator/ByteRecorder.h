// SPDX-License-Identifier: MIT
// A log of everything the emulated adapter receives and sends, one JSON object per line, so that
// tests can check the host's pacing and the order of commands.
#pragma once

#include "model/ByteRecord.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <string>

namespace zelmor::emu {

class TByteRecorder {
public:
    // An empty path records nothing. Raises std::runtime_error when the file cannot be opened.
    explicit TByteRecorder(const std::string& path);
    ~TByteRecorder();
    TByteRecorder(const TByteRecorder&) = delete;
    TByteRecorder& operator=(const TByteRecorder&) = delete;

    // {"t_us":T,"dir":"rx"|"tx","hex":"..."}
    void Bytes(const char* direction, TByteView bytes);
    // {"t_us":T,"event":Name, ...Fields}
    void Event(const std::string& name, nlohmann::ordered_json fields = nlohmann::ordered_json::object());

private:
    void Write(nlohmann::ordered_json line);

    std::FILE* FFile = nullptr;
    std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
};

} // namespace zelmor::emu
