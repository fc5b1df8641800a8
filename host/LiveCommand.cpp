// live: the plugin as a JACK client, routing MIDI from other clients' ports to others, with its
// editor in a window of its own and the bank kept in a file between runs.
#include "ChunkFile.h"
#include "Commands.h"

#include "HomeFolder.h"
#include "HostWindow.h"
#include "LiveClient.h"
#include "LiveCycle.h"
#include "VstHost.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace ferrovane::host {

namespace {

struct Options {
    std::string plugin, bank, name = "Ferrovane";
    int program = 0; // 1 to 128; 0 keeps the bank's own
    bool editor = true;
    std::vector<std::string> connectIn, connectOut;
    double seconds = -1.0; // until stopped
};

bool Parse(const Arguments& a, Options& o, std::string& error) {
    o.plugin = a.plugin;
    o.bank = a.Value("--bank");
    o.name = a.Value("--name", o.name);
    o.editor = !a.Has("--no-editor");
    o.connectIn = a.Values("--connect-in");
    o.connectOut = a.Values("--connect-out");
    if (a.Has("--seconds")) o.seconds = std::atof(a.Value("--seconds").c_str());
    if (a.Has("--program")) {
        o.program = std::atoi(a.Value("--program").c_str());
        if (o.program < 1 || o.program > 128) error = "--program takes 1 to 128";
    }
    return error.empty();
}

// $XDG_CONFIG_HOME/ferrovane/bank.fxb, else ~/.config/ferrovane/bank.fxb.
std::string DefaultBankPath() {
    const char* config = getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/ferrovane/bank.fxb";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config/ferrovane/bank.fxb";
}

// A bank file that is there must load; one that is not yet there is made at the end.
bool LoadBank(VstHost& host, const std::string& path, VstInt32& program, std::string& error) {
    struct stat s;
    if (stat(path.c_str(), &s) != 0) {
        if (errno == ENOENT) return true;
        error = "cannot read " + path + ": " + std::generic_category().message(errno);
        return false;
    }
    return LoadChunk(host, path, true, error, &program);
}

// Makes the folders above `path` that are missing.
void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

// SIGINT and SIGTERM end the run through the main loop; the previous handlers come back after.
class StopSignals {
  public:
    StopSignals() {
        stopSignal.store(0);
        struct sigaction action = {};
        action.sa_handler = [](int signal) { stopSignal.store(signal); };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &previous[0]);
        sigaction(SIGTERM, &action, &previous[1]);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previous[0], nullptr);
        sigaction(SIGTERM, &previous[1], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    struct sigaction previous[2];
};

std::string StatusLine(const LiveClient& client, const LiveCycle& cycle) {
    const LiveCounters& c = cycle.Counters();
    char line[256];
    snprintf(line, sizeof line, "%s  %u Hz  %u frames  in %llu  out %llu  lost %llu  xruns %llu",
             client.Name(), client.SampleRate(), client.BufferSize(),
             static_cast<unsigned long long>(c.in.load(std::memory_order_relaxed)),
             static_cast<unsigned long long>(c.out.load(std::memory_order_relaxed)),
             static_cast<unsigned long long>(c.lost.load(std::memory_order_relaxed)),
             static_cast<unsigned long long>(client.Xruns()));
    return line;
}

// The host's GUI thread: idles the editor and keeps the status line until something ends the run.
void RunUntilStopped(VstHost& host, const LiveClient& client, const LiveCycle& cycle,
                     HostWindow* window, double seconds) {
    using Clock = std::chrono::steady_clock;
    const bool terminal = isatty(STDOUT_FILENO);
    const auto start = Clock::now();
    for (unsigned tick = 0; !client.ServerGone() && !stopSignal.load(); ++tick) {
        double wait = 0.05;
        if (seconds >= 0) {
            const double left =
                seconds - std::chrono::duration<double>(Clock::now() - start).count();
            if (left <= 0) return;
            wait = std::min(wait, left);
        }
        if (window) {
            if (window->WaitForClose(wait)) return;
            window->Exclusive([&] { host.Dispatch(effEditIdle); });
        } else {
            std::this_thread::sleep_for(std::chrono::duration<double>(wait));
        }
        if (terminal && tick % 5 == 0) { // four times a second
            printf("\r%s\033[K", StatusLine(client, cycle).c_str());
            fflush(stdout);
        }
    }
}

// Stops the cycles, closes the editor, says how the run went and writes the bank back.
int Finish(VstHost& host, LiveClient& client, const LiveCycle& cycle, HostWindow* window,
           const std::string& bank) {
    client.Stop();
    if (window) window->CloseEditor(host);
    if (isatty(STDOUT_FILENO)) printf("\r\033[K");
    printf("%s\n", StatusLine(client, cycle).c_str());
    int result = 0;
    std::string reason, error;
    if (client.ServerGone(&reason)) {
        result = Fail("the JACK server went away" + (reason.empty() ? "" : ": " + reason));
    }
    MakeFolders(bank);
    if (!SaveChunk(host, bank, true, error)) {
        result = Fail("the bank was not saved: " + error);
    } else {
        printf("bank saved to %s\n", bank.c_str());
    }
    fflush(stdout);
    host.Unload(); // while the window's display, which a 32-bit editor adopts, is still open
    return result;
}

} // namespace

constexpr OptionSpec kLiveOptions[] = {
    {"--bank", "FILE", false},      {"--program", "N", false},
    {"--name", "NAME", false},      {"--no-editor", nullptr, false},
    {"--connect-in", "PORT", true}, {"--connect-out", "PORT", true},
    {"--seconds", "S", false},
};

const CommandSpec kLiveCommand = {
    "live", "", kLiveOptions,
    "A JACK client until Ctrl+C, the editor's window closes, or S seconds.\n"
    "The bank: FILE, else $XDG_CONFIG_HOME/ferrovane/bank.fxb\n"
    "(~/.config/ferrovane/bank.fxb); programs are numbered 1 to 128.\n",
    LiveCommand};

int LiveCommand(const std::vector<std::string>& args) {
    Arguments a;
    if (const int status = ReadArguments(kLiveCommand, args, a)) return status;
    Options o;
    std::string error;
    if (!Parse(a, o, error)) return BadArguments(kLiveCommand, error);
    if (o.bank.empty() && (o.bank = DefaultBankPath()).empty())
        return Fail("no home folder for the bank: give one with --bank FILE");
    StopSignals signals;
    VstHost host;
    if (!host.Load(o.plugin)) return Fail(host.Error());
    if (!host.Instantiate()) return Fail("the plugin refused to load");
    std::unique_ptr<LiveCycle> cycle;
    LiveClient client; // stops before the cycle it runs goes
    if (!client.Open(o.name, error)) return Fail(error);
    host.Answers().sampleRate = static_cast<float>(client.SampleRate());
    host.Answers().blockSize = static_cast<VstInt32>(client.BufferSize());
    host.Start();
    VstInt32 program = 0;
    if (!LoadBank(host, o.bank, program, error)) return Fail(error);
    host.Dispatch(effSetProgram, 0, o.program ? o.program - 1 : program);
    if (!client.RegisterPorts(error) || !client.PlanConnections(o.connectIn, o.connectOut, error))
        return Fail(error);
    std::unique_ptr<HostWindow> window;
    if (o.editor) {
        window = std::make_unique<HostWindow>(307, 425, true, client.Name());
        if (!window->Ok()) return Fail("no X display for the editor (--no-editor runs without)");
    }
    cycle = std::make_unique<LiveCycle>(host, client.Ports());
    if (!client.Start(*cycle, error)) return Fail(error);
    if (window && !window->OpenEditor(host)) window.reset(); // a plugin without an editor
    printf("%s: %u Hz, %u frames a cycle, bank %s\n", client.Name(), client.SampleRate(),
           client.BufferSize(), o.bank.c_str());
    fflush(stdout);

    RunUntilStopped(host, client, *cycle, window.get(), o.seconds);
    return Finish(host, client, *cycle, window.get(), o.bank);
}

} // namespace ferrovane::host
