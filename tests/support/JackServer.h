// A JACK server of the caller's own: Debian's `jackd` on its dummy driver (no sound card), under
// a name that no other test or benchmark uses. It runs in synchronous mode with a generous client
// timeout, so on a loaded machine a late cycle is waited for instead of cut short.
#pragma once

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

class JackServer {
  public:
    // `log` receives the server's output (nothing when empty).
    explicit JackServer(unsigned period = 256, const std::string& log = "") {
        static int serial = 0;
        name = "ferrovane-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
        const std::string frames = std::to_string(period);
        const char* argv[] = {"jackd", "-n", name.c_str(), "-S", "-t",           "10000", "-d",
                              "dummy", "-r", "48000",      "-p", frames.c_str(), nullptr};
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, log.empty() ? "/dev/null" : log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1); // no D-Bus device reservation
        if (posix_spawnp(&pid, "jackd", &files, nullptr, const_cast<char**>(argv), environ) != 0)
            pid = 0;
        posix_spawn_file_actions_destroy(&files);
        ready = pid > 0 && AwaitClients();
    }
    ~JackServer() { Stop(); }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Ok() const { return ready; }
    const std::string& Name() const { return name; }

    // Ends the server the way a user does (SIGTERM); kills it if it lingers.
    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        if (!Exited(std::chrono::seconds(20))) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        pid = 0;
    }

  private:
    // Bounded, so a server that cannot start fails the caller instead of hanging it.
    bool AwaitClients() {
        jack_set_error_function([](const char*) {}); // refused probes are expected here
        jack_set_info_function([](const char*) {});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < until) {
            jack_status_t status{};
            if (jack_client_t* probe = jack_client_open(
                    "probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                    &status, name.c_str())) {
                jack_client_close(probe);
                return true;
            }
            if (Exited(std::chrono::milliseconds(50))) return false;
        }
        return false;
    }

    template <typename Duration> bool Exited(Duration limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        do {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = 0;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < until);
        return false;
    }

    std::string name;
    pid_t pid = 0;
    bool ready = false;
};
