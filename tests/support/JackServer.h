// A JACK server of the caller's own: Debian's `jackd` on its dummy driver (no sound card), under
// a name that no other test or benchmark uses. It runs in synchronous mode with a generous client
// timeout, so on a loaded machine a late cycle is waited for instead of cut short. A small shell
// watches it: the server ends with the caller, even when the caller crashes (jackd keeps running
// after its clients die, and the parent-death signal does not reach it from under qemu).
//
// jackd2 keeps a table of at most eight servers per user and frees the entry of a server that
// died without ending cleanly only when a server of the same name starts. So the names come from
// a small pool, each claimed with a lock that the kernel drops when its holder dies.
#pragma once

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// jackd2 names a client's notification socket after the client and the user, not the server:
// clients of one name in two processes collide even on different servers. Tests run in
// parallel, so each names its clients after its process.
inline std::string JackClientName(const std::string& stem) {
    return stem + "-" + std::to_string(getpid());
}

// A client of the named server, which must be running already; null when it cannot be had.
inline jack_client_t* OpenJackClient(const std::string& server, const std::string& stem) {
    jack_status_t status{};
    return jack_client_open(JackClientName(stem).c_str(),
                            static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                            &status, server.c_str());
}

class JackServer {
    // Runs jackd with the arguments after the caller's pid until the caller is gone or sends
    // SIGTERM; a server that does not end within two seconds is killed.
    static constexpr const char* kWatch = R"(parent=$1; shift
jackd "$@" & server=$!
stop() {
  kill $server 2>/dev/null
  for i in $(seq 20); do kill -0 $server 2>/dev/null || exit 0; sleep 0.1; done
  kill -9 $server; exit 0
}
trap stop TERM
while kill -0 $parent 2>/dev/null && kill -0 $server 2>/dev/null; do sleep 0.2 & wait $!; done
stop)";

  public:
    // `log` receives the server's output (nothing when empty).
    explicit JackServer(unsigned period = 256, const std::string& log = "") {
        if (!ClaimName()) return;
        const std::string frames = std::to_string(period);
        const std::string parent = std::to_string(getpid());
        std::vector<const char*> argv = {"sh", "-c", kWatch, "sh", parent.c_str()};
        // Synchronous, with a client timeout of 10 s; then the dummy driver at 48 kHz.
        argv.insert(argv.end(), {"-n", name.c_str(), "-S", "-t", "10000", "-d", "dummy"});
        argv.insert(argv.end(), {"-r", "48000", "-p", frames.c_str(), nullptr});
        const std::string output = log.empty() ? "/dev/null" : log;
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1); // no D-Bus device reservation
        pid = fork();
        if (pid == 0) {
            const int in = open("/dev/null", O_RDONLY);
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0) _exit(1);
            dup2(in, 0);
            dup2(out, 1);
            dup2(out, 2);
            execv("/bin/sh", const_cast<char**>(argv.data()));
            _exit(127);
        }
        ready = pid > 0 && AwaitClients();
    }
    ~JackServer() { Stop(); }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Ok() const { return ready; }
    const std::string& Name() const { return name; }

    // Ends the server the way a user does (SIGTERM); kills it if it lingers.
    void Stop() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            if (!Exited(std::chrono::seconds(20))) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
            pid = 0;
        }
        if (claim >= 0) close(claim);
        claim = -1;
    }

  private:
    static constexpr int kNames = 4; // more than the tests that run at once

    // Bounded, like every wait here, so a broken machine fails the caller instead of hanging it.
    bool ClaimName() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        const std::string stem = "ferrovane-test-" + std::to_string(getuid()) + "-";
        while (std::chrono::steady_clock::now() < until) {
            for (int k = 0; k < kNames; ++k) {
                const std::string lock = "/tmp/" + stem + std::to_string(k) + ".lock";
                claim = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
                if (claim >= 0 && flock(claim, LOCK_EX | LOCK_NB) == 0) {
                    name = stem + std::to_string(k);
                    return true;
                }
                if (claim >= 0) close(claim);
                claim = -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Bounded, so a server that cannot start fails the caller instead of hanging it.
    bool AwaitClients() {
        jack_set_error_function([](const char*) {}); // refused probes are expected here
        jack_set_info_function([](const char*) {});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < until) {
            if (jack_client_t* probe = OpenJackClient(name, "probe")) {
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
    int claim = -1; // the locked file that makes the name ours
    pid_t pid = 0;
    bool ready = false;
};
