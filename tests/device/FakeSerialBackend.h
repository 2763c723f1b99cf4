// SPDX-License-Identifier: MIT
// A serial backend that accepts at most a few bytes per write and notes when each write came, for
// the sending side of the protocol. Reads and waits are not expected and fail the test.
#pragma once

#include "link/SerialBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace zelmor::test {

struct TWriteCall {
    std::chrono::steady_clock::time_point Time;
    std::size_t Asked = 0;
    std::string Accepted;
};

class TFakeSerialBackend final : public TSerialBackend {
public:
    // Each write takes at most MaxPerWrite bytes; write number FailingWrite (counting from 1) accepts none.
    TFakeSerialBackend(std::vector<TWriteCall>& writes, std::size_t maxPerWrite, int failingWrite = 0)
        : FWrites(writes), FMaxPerWrite(maxPerWrite), FFailingWrite(failingWrite) {}

    TPortOpenError Open(const std::string&) override {
        FOpen = true;
        return {};
    }
    bool IsOpen() const override { return FOpen; }
    void Close() override { FOpen = false; }
    void Purge() override {}
    void ApplyLineSettings(const TLineSettings&) override {}
    void SetModemLines(bool) override {}
    TIoResult Read(std::uint8_t*, std::size_t) override {
        ADD_FAILURE() << "unexpected read";
        return {};
    }
    TIoResult Write(const std::uint8_t* data, std::size_t size, int) override {
        const bool fails = static_cast<int>(FWrites.size()) + 1 == FFailingWrite;
        const std::size_t count = fails ? 0 : std::min(size, FMaxPerWrite);
        FWrites.push_back({std::chrono::steady_clock::now(), size, std::string(data, data + count)});
        return {TIoStatus::Ok, static_cast<int>(count)};
    }
    bool WaitReadable(int) override {
        ADD_FAILURE() << "unexpected wait for input";
        return false;
    }
    void Drain(int) override {}

private:
    std::vector<TWriteCall>& FWrites;
    std::size_t FMaxPerWrite;
    int FFailingWrite;
    bool FOpen = false;
};

} // namespace zelmor::test
