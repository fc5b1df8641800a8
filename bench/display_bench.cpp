// What waiting on the X server costs a host: the plugin's load with a display, and its editor's
// open to its first frame, on an Xvfb of the bench's own reached directly and through a relay
// that holds everything 10 ms each way (as a display over a network does), beside plugins of
// Debian's DPF collection in the same run.
//
// Usage: display_bench [--plugin=NAME:PATH]... [benchmark flags]; the plugins default to the
// built Ferrovane, DPF's Kars (no editor) and DPF's 3BandEQ. A load is a process of its own, as a
// host's scan runs it: the stand-in host's info command (dlopen, the entry, the host's start-up
// calls, what it asks, the unload). The first frame is timed from effEditOpen until the host's
// window shows the editor's finished picture (taken once beforehand and read back past the
// relay), with effEditIdle called meanwhile, as DPF's editors draw in it; each run loads the
// plugin afresh, so what a connection learns once is learnt again.
#include "HostWindow.h"
#include "OwnXServer.h"
#include "BenchMain.h"
#include "VstHost.h"
#include "XRelay.h"

#include <X11/Xutil.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <sys/wait.h>
#include <unistd.h>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using ferrovane::host::HostWindow;
using ferrovane::host::VstHost;

struct Setting {
    const OwnXServer* server;
    const XRelay* relay; // null: directly
    std::string Display() const { return relay ? relay->Name() : server->Name(); }
};

struct Plugin {
    std::string name, path;
    bool editor = false; // whether it says it has one
};

bool HasEditor(const std::string& path) {
    VstHost host;
    const bool has =
        host.Load(path) && host.Instantiate() && (host.Effect()->flags & effFlagsHasEditor);
    host.Unload();
    return has;
}

std::vector<unsigned char> Picture(Display* d, Window w, int width, int height) {
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height);
    std::vector<unsigned char> picture(image->data, image->data + bytes);
    XDestroyImage(image);
    return picture;
}

// A plugin in a host's window: loaded on the setting's display, its editor not open yet.
struct Session {
    Session(const Plugin& p, const Setting& s) {
        {
            DisplayName direct(s.server->Name());
            window = std::make_unique<HostWindow>(kMost, kMost, false);
            reader = XOpenDisplay(nullptr);
        }
        window->Start();
        DisplayName toPlugin(s.Display());
        loaded = host.Load(p.path) && host.Instantiate();
        if (!loaded) return;
        host.Start();
        ERect* rect = nullptr;
        host.Dispatch(effEditGetRect, 0, 0, &rect);
        if (rect) width = rect->right - rect->left, height = rect->bottom - rect->top;
        display = s.Display();
    }
    ~Session() {
        if (open) window->Exclusive([&] { host.Dispatch(effEditClose); });
        window->Exclusive([&] { host.Unload(); });
        window->Stop();
        window.reset();
        if (reader) XCloseDisplay(reader);
    }

    bool Open() {
        DisplayName toPlugin(display);
        window->Exclusive([&] { open = host.Dispatch(effEditOpen, 0, 0, window->EditOpenPtr()); });
        return open;
    }
    std::vector<unsigned char> Shown() {
        window->Exclusive([&] { host.Dispatch(effEditIdle); });
        return Picture(reader, window->GetWindow(), width, height);
    }

    static constexpr int kMost = 800;
    VstHost host;
    std::unique_ptr<HostWindow> window;
    Display* reader = nullptr;
    std::string display;
    int width = 0, height = 0;
    bool loaded = false;
    bool open = false;
};

// The editor's finished picture: what the window shows once it has held still for 300 ms.
std::vector<unsigned char> Finished(const Plugin& p, const Setting& direct) {
    static std::map<std::string, std::vector<unsigned char>> known;
    auto at = known.find(p.name);
    if (at != known.end()) return at->second;
    Session s(p, direct);
    if (!s.loaded || !s.Open()) return {};
    std::vector<unsigned char> last = s.Shown();
    const auto until = Clock::now() + std::chrono::seconds(10);
    for (auto still = Clock::now();
         Clock::now() - still < std::chrono::milliseconds(300) && Clock::now() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<unsigned char> now = s.Shown();
        if (now != last) still = Clock::now();
        last = std::move(now);
    }
    return known[p.name] = last;
}

// `ferrovane-host info PLUGIN` on the display, in a process of its own; false when it failed.
bool Info(const Plugin& p, const Setting& s) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", s.Display().c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execl(FERROVANE_HOST_PATH, FERROVANE_HOST_PATH, "info", p.path.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void Load(benchmark::State& state, Plugin p, Setting s) {
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool loaded = Info(p, s);
        const auto end = Clock::now();
        if (!loaded) {
            state.SkipWithError("the plugin did not load");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void FirstFrame(benchmark::State& state, Plugin p, Setting s, Setting direct) {
    const std::vector<unsigned char> finished = Finished(p, direct);
    if (finished.empty()) {
        state.SkipWithError("no editor picture");
        return;
    }
    for (auto _ : state) {
        Session session(p, s);
        const auto start = Clock::now();
        bool shown = session.Open();
        while (shown && session.Shown() != finished)
            shown = Clock::now() - start < std::chrono::seconds(20);
        const auto end = Clock::now();
        if (!shown) {
            state.SkipWithError("the editor did not show its picture");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    std::vector<Plugin> plugins;
    for (const auto& [name, path] : PluginFlags(argc, argv, args))
        plugins.push_back({name, path});
    if (plugins.empty()) {
        plugins.push_back({"Ferrovane", FERROVANE_PLUGIN_PATH});
        plugins.push_back({"DPF-Kars", "/usr/lib/vst/Kars-vst.so"});
        plugins.push_back({"DPF-3BandEQ", "/usr/lib/vst/3BandEQ-vst.so"});
    }
    XInitThreads();
    OwnXServer server;
    if (!server.Ok()) {
        fputs("display_bench: Xvfb did not start\n", stderr);
        return 1;
    }
    XRelay relay(server.Name(), std::chrono::milliseconds(10));
    {
        DisplayName quiet(server.Name());
        for (Plugin& p : plugins)
            p.editor = HasEditor(p.path);
    }
    const Setting direct{&server, nullptr}, remote{&server, &relay};
    for (const Plugin& p : plugins)
        for (const auto& [setting, label] : {std::pair{direct, "direct"}, {remote, "relay10ms"}}) {
            benchmark::RegisterBenchmark(("Load/" + p.name + "/" + label).c_str(), Load, p, setting)
                ->Iterations(8)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
            if (p.editor)
                benchmark::RegisterBenchmark(("FirstFrame/" + p.name + "/" + label).c_str(),
                                             FirstFrame, p, setting, direct)
                    ->Iterations(4)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
        }
    RunRegistered(args);
    return 0;
}
