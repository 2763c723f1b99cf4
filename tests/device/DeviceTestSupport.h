// SPDX-License-Identifier: MIT
// Shared pieces of the device tests: an event loop, a pseudo-terminal whose adapter side a test
// thread scripts, and profile-set blobs of a chosen size.
#pragma once

#include "PseudoTerminal.h"
#include "model/Profile.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace zelmor::test {

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "device-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Text as the bytes of a reply.
inline std::string Text(std::initializer_list<int> bytes) {
    std::string text;
    for (const int byte : bytes)
        text += static_cast<char>(byte);
    return text;
}

// The adapter's side of a pseudo-terminal, played by a script on its own thread. The script starts
// at once; it waits for the host's requests with WaitFor before it answers, since opening the port
// discards what was sent before.
class TScriptedAdapter {
public:
    using TScript = std::function<void(TScriptedAdapter&)>;

    explicit TScriptedAdapter(TScript script) {
        FPty.Open();
        FThread = std::thread([this, script = std::move(script)] { script(*this); });
    }
    ~TScriptedAdapter() { Join(); }

    const std::string& PortPath() const { return FPty.PortPath(); }

    // Reads the host's bytes until they contain Text after the previous match; false after TimeoutMs.
    bool WaitFor(std::string_view text, int timeoutMs = 5000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            {
                std::lock_guard lock(FMutex);
                if (const auto at = FReceived.find(text, FMatched); at != std::string::npos) {
                    FMatched = at + text.size();
                    return true;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            ReadSome(static_cast<int>(left.count()));
        }
    }
    // Collects what the host sends for Ms milliseconds.
    void Collect(int ms) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline)
            ReadSome(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          deadline - std::chrono::steady_clock::now())
                                          .count()));
    }
    void Send(std::string_view bytes) {
        EXPECT_EQ(FPty.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 2000),
                  bytes.size());
    }
    // Sends Bytes in pieces of Piece bytes, GapMs apart.
    void SendSplit(std::string_view bytes, std::size_t piece, int gapMs) {
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            if (at > 0)
                Pause(gapMs);
            Send(bytes.substr(at, piece));
        }
    }
    void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    // The unplug: the adapter's side goes away.
    void Unplug() { FPty.Close(); }

    // Everything the host sent; call after Join.
    std::string Received() {
        std::lock_guard lock(FMutex);
        return FReceived;
    }
    void Join() {
        if (FThread.joinable())
            FThread.join();
    }

private:
    void ReadSome(int timeoutMs) {
        std::uint8_t buffer[4096];
        bool woken = false;
        const auto count = FPty.Read(buffer, sizeof buffer, std::min(timeoutMs, 50), -1, woken);
        std::lock_guard lock(FMutex);
        FReceived.append(reinterpret_cast<const char*>(buffer), count);
    }

    emu::TPseudoTerminal FPty;
    std::mutex FMutex;
    std::string FReceived;
    std::size_t FMatched = 0;
    std::thread FThread;
};

// A valid profile set whose blob is exactly Size bytes (Size from 955 to about 11,000): ten
// profiles whose switches carry key sequences, with the names taking up the last few bytes.
TProfileSet ProfileSetOfBlobSize(std::size_t size);
// The largest set a profile set can be: 16-byte names, 32-step sequences on every press.
TProfileSet LargestProfileSet();
// A valid set blob as text, for scripted replies.
std::string BlobText(const TProfileSet& set);

} // namespace zelmor::test
