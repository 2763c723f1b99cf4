// SPDX-License-Identifier: MIT
// Shared pieces of the emulator tests: a private runtime folder, the emulator serving on a thread of
// the test, and its recording.
#pragma once

#include "AdapterEmulator.h"
#include "DeviceTestSupport.h"

#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace zelmor::test {

// A temporary folder that also serves as $XDG_RUNTIME_DIR, so virtual adapters of one test stay
// apart from every other.
class TTestFolder {
public:
    TTestFolder() {
        ::mkdir(Path("run").c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", Path("run").c_str(), 1);
    }
    std::string Path(const std::string& name) const {
        return FDir.filePath(QString::fromStdString(name)).toStdString();
    }

private:
    QTemporaryDir FDir;
};

// The emulator plugged in by the constructor and serving on its own thread until destroyed.
class TEmulatorThread {
public:
    explicit TEmulatorThread(emu::TEmulatorOptions options) : FEmulator(std::move(options)) {
        FEmulator.Start();
        FThread = std::thread([this] { FEmulator.Run(); });
    }
    ~TEmulatorThread() {
        FEmulator.Stop();
        FThread.join();
    }
    std::string Port() const { return FEmulator.PortPath(); }

private:
    emu::TAdapterEmulator FEmulator;
    std::thread FThread;
};

// Options for a test: state and recording in Folder, everything else as given.
inline emu::TEmulatorOptions TestOptions(const TTestFolder& folder,
                                         const std::vector<std::string>& args = {}) {
    bool help = false;
    auto options = emu::ParseEmulatorOptions(args, help);
    options.StateFile = folder.Path("state.json");
    options.RecordFile = folder.Path("record.jsonl");
    return options;
}

inline std::vector<nlohmann::json> ReadRecording(const std::string& path) {
    std::vector<nlohmann::json> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

// Polls Done every 10 ms for at most TimeoutMs.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace zelmor::test
