// What the live host's tests share: a JACK server of their own, the live command running in a
// thread of the test, and banks made and read through the real plugin.
#pragma once

#include "BinaryFile.h"
#include "ChunkFile.h"
#include "Commands.h"
#include "FxPreset.h"
#include "JackServer.h"
#include "MidiPeer.h"
#include "ThreadProbe.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <unistd.h>

namespace ferrovane::test {

using host::VstHost;

inline std::string OutputPath(const std::string& stem, const char* extension = "") {
    return std::string(FERROVANE_TEST_OUTPUT) + "/" + stem + "-" + std::to_string(getpid()) +
           extension;
}

// The live command's arguments with a client name of this process's own, unless they name one.
inline std::vector<std::string> Named(std::vector<std::string> args) {
    if (std::find(args.begin(), args.end(), "--name") == args.end()) {
        args.push_back("--name");
        args.push_back(JackClientName("Ferrovane"));
    }
    return args;
}

// The live command in a thread of its own, as the program runs it.
class LiveRun {
  public:
    explicit LiveRun(std::vector<std::string> args)
        : thread([this, args = Named(std::move(args))] {
              result.store(host::LiveCommand(args));
              finished.store(true);
          }) {}
    ~LiveRun() {
        if (thread.joinable()) thread.join();
    }
    bool Finished() const { return finished.load(); }
    int Wait() {
        thread.join();
        return result.load();
    }

  private:
    std::atomic<int> result{-1};
    std::atomic<bool> finished{false};
    std::thread thread;
};

// Each test gets a server of its own, named so that the live command finds it.
class Live : public testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<JackServer>(256, OutputPath(Name() + "-jackd", ".log"));
        ASSERT_TRUE(server->Ok()) << "jackd did not start";
        setenv("JACK_DEFAULT_SERVER", server->Name().c_str(), 1);
    }
    static std::string Name() {
        return testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    std::unique_ptr<JackServer> server;
};

// A bank as the plugin makes it, with cells and options changed in place.
constexpr size_t kProgramSize = 598;
constexpr size_t kBankSize = 128 * kProgramSize;

inline size_t CellOffset(int program, int in, int out) {
    return kProgramSize * static_cast<size_t>(program) + 48 + 32 * static_cast<size_t>(in) +
           2 * static_cast<size_t>(out);
}

inline void SetCell(std::vector<unsigned char>& bank, int program, int in, int out, uint16_t mask) {
    bank[CellOffset(program, in, out)] = static_cast<unsigned char>(mask);
    bank[CellOffset(program, in, out) + 1] = static_cast<unsigned char>(mask >> 8);
}

inline uint16_t Cell(const std::vector<unsigned char>& bank, int program, int in, int out) {
    return static_cast<uint16_t>(bank[CellOffset(program, in, out)] |
                                 bank[CellOffset(program, in, out) + 1] << 8);
}

// Program changes switch programs: the option kept in every program.
inline unsigned char& Switching(std::vector<unsigned char>& bank, int program) {
    return bank[kProgramSize * static_cast<size_t>(program) + 566];
}

inline std::vector<unsigned char> DefaultBank() {
    VstHost host;
    EXPECT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
    EXPECT_NE(host.Instantiate(), nullptr);
    host.Start();
    void* data = nullptr;
    const VstIntPtr size = host.Dispatch(effGetChunk, 0, 0, &data);
    EXPECT_EQ(size, static_cast<VstIntPtr>(kBankSize));
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

// Writes the bank through the plugin, as a .fxb or raw by the path's ending.
inline void WriteBank(const std::string& path, std::vector<unsigned char> bank) {
    VstHost host;
    ASSERT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
    ASSERT_NE(host.Instantiate(), nullptr);
    host.Start();
    ASSERT_EQ(host.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data()), 1);
    std::string error;
    ASSERT_TRUE(host::SaveChunk(host, path, true, error)) << error;
}

inline host::FxPreset ReadBankFile(const std::string& path) {
    std::vector<unsigned char> data;
    host::FxPreset preset;
    std::string error;
    EXPECT_TRUE(host::ReadFile(path, data, error)) << error;
    EXPECT_TRUE(host::ParseFxPreset(data, preset, error)) << error;
    return preset;
}

} // namespace ferrovane::test
