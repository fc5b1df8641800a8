// What a host's plugin scan costs: Ardour's scanner run on the built shared object, one process
// per scan as Ardour runs it, with DISPLAY unset, set but empty, and naming a running X server
// (an Xvfb this program starts), beside a plugin of Debian's DPF collection in the same run.
//
// Usage: scan_bench [--plugin=NAME:PATH]... [benchmark flags]; the plugins default to the built
// Ferrovane and DPF's Kars. A case's run is 4 scans; with --benchmark_repetitions and
// --benchmark_enable_random_interleaving the runs of the cases alternate.
#include "OwnXServer.h"
#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <glob.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string FindScanner() {
    glob_t found{};
    std::string path;
    if (glob("/usr/lib/ardour*/ardour-vst-scanner", 0, nullptr, &found) == 0)
        path = found.gl_pathv[0];
    globfree(&found);
    return path;
}

enum class Display { kUnset, kEmpty, kServer };

struct Scan {
    std::string scanner, plugin, cache, server;
    Display display;
};

// One scan in a process of its own; false when the scanner failed.
bool RunScan(const Scan& scan) {
    pid_t child = fork();
    if (child == 0) {
        if (scan.display == Display::kUnset) unsetenv("DISPLAY");
        if (scan.display == Display::kEmpty) setenv("DISPLAY", "", 1);
        if (scan.display == Display::kServer) setenv("DISPLAY", scan.server.c_str(), 1);
        setenv("XDG_CACHE_HOME", scan.cache.c_str(), 1);
        std::string dir = scan.scanner.substr(0, scan.scanner.rfind('/'));
        setenv("LD_LIBRARY_PATH", dir.c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execl(scan.scanner.c_str(), scan.scanner.c_str(), "-f", scan.plugin.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void ScanCase(benchmark::State& state, Scan scan) {
    // Xlib's default for an unset DISPLAY is :0, which may or may not be there.
    if (scan.display == Display::kUnset)
        state.SetLabel(access("/tmp/.X11-unix/X0", F_OK) == 0 ? ":0 has a socket" : "no :0");
    for (auto _ : state)
        if (!RunScan(scan)) {
            state.SkipWithError("the scanner failed");
            break;
        }
    state.counters["ms/scan"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    std::vector<std::pair<std::string, std::string>> plugins = PluginFlags(argc, argv, args);
    if (plugins.empty()) {
        plugins.emplace_back("Ferrovane", FERROVANE_PLUGIN_PATH);
        plugins.emplace_back("DPF-Kars", "/usr/lib/vst/Kars-vst.so");
    }
    const std::string scanner = FindScanner();
    if (scanner.empty()) {
        fputs("scan_bench: Ardour's ardour-vst-scanner is not installed\n", stderr);
        return 1;
    }
    // Its display number keeps :0, which Xlib takes for an unset DISPLAY, what it was.
    OwnXServer server;
    if (!server.Ok()) {
        fputs("scan_bench: Xvfb did not start\n", stderr);
        return 1;
    }
    char cache[] = "/tmp/scan-bench-XXXXXX";
    if (!mkdtemp(cache)) return 1;
    const std::pair<Display, const char*> displays[] = {
        {Display::kUnset, "unset"}, {Display::kEmpty, "empty"}, {Display::kServer, "Xvfb"}};
    for (const auto& [name, path] : plugins)
        for (const auto& [display, label] : displays)
            benchmark::RegisterBenchmark(("Scan/" + name + "/" + label).c_str(), ScanCase,
                                         Scan{scanner, path, cache, server.Name(), display})
                ->Iterations(4)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
    RunRegistered(args);
    std::string clean = "rm -rf " + std::string(cache);
    return system(clean.c_str()) == 0 ? 0 : 1;
}
