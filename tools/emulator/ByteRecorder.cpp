// SPDX-License-Identifier: MIT
#include "ByteRecorder.h"

#include "HexText.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace zelmor::emu {

TByteRecorder::TByteRecorder(const std::string& path) {
    if (path.empty())
        return;
    FFile = std::fopen(path.c_str(), "ae");
    if (FFile == nullptr)
        throw std::runtime_error("cannot open the recording " + path + ": " + std::strerror(errno));
}

TByteRecorder::~TByteRecorder() {
    if (FFile != nullptr)
        std::fclose(FFile);
}

void TByteRecorder::Bytes(const char* direction, TByteView bytes) {
    if (FFile == nullptr || bytes.empty())
        return;
    Write({{"dir", direction}, {"hex", ToHex(bytes)}});
}

void TByteRecorder::Event(const std::string& name, nlohmann::ordered_json fields) {
    if (FFile == nullptr)
        return;
    nlohmann::ordered_json line = {{"event", name}};
    line.update(fields);
    Write(std::move(line));
}

void TByteRecorder::Write(nlohmann::ordered_json line) {
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - FStart)
            .count();
    nlohmann::ordered_json out = {{"t_us", micros}};
    out.update(line);
    const auto text = out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    std::fwrite(text.data(), 1, text.size(), FFile);
    std::fflush(FFile);
}

} // namespace zelmor::emu
