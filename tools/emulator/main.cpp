// SPDX-License-Identifier: MIT
// zelmor-adapter-emu: the adapter's firmware on a pseudo-terminal, for tests, demos and training.
#include "AdapterEmulator.h"

#include <csignal>
#include <cstdio>
#include <iostream>

using namespace zelmor::emu;

namespace {

TAdapterEmulator* RunningEmulator = nullptr;

extern "C" void StopOnSignal(int) {
    if (RunningEmulator != nullptr)
        RunningEmulator->Stop();
}

} // namespace

int main(int argc, char** argv) {
    TEmulatorOptions options;
    try {
        bool help = false;
        options = ParseEmulatorOptions(std::vector<std::string>(argv + 1, argv + argc), help);
        if (help) {
            std::cout << EmulatorHelpText();
            return 0;
        }
    } catch (const TOptionsError& error) {
        std::cerr << "zelmor-adapter-emu: " << error.what() << "\n(--help lists the options)\n";
        return 2;
    }
    try {
        TAdapterEmulator emulator(options);
        emulator.OnPlug = [](const std::string& port, const std::string& pid) {
            std::printf("PORT %s %s\n", port.c_str(), pid.c_str());
            std::fflush(stdout);
        };
        RunningEmulator = &emulator;
        struct sigaction action {};
        action.sa_handler = StopOnSignal;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
        emulator.Start();
        emulator.Run();
        RunningEmulator = nullptr;
    } catch (const std::exception& error) {
        RunningEmulator = nullptr;
        std::cerr << "zelmor-adapter-emu: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
