// An X server of the test's own (Xvfb on a free display number, never reset), for tests that
// must end a server or start one of a particular kind.
#pragma once

#include "EnvironmentVariable.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class OwnXServer {
  public:
    // extra: further Xvfb arguments, as "-fp built-ins".
    explicit OwnXServer(const std::vector<std::string>& extra = {}) {
        for (int number = kFirstNumber; number < kFirstNumber + 64 && !Ok(); ++number)
            Start(number, extra);
    }
    ~OwnXServer() { Kill(); }
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    bool Ok() const { return !name.empty(); }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name; }

    // Ends the server at once, as a crash or the end of a session does.
    void Kill() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
    }

  private:
    // Display numbers from here up: :0, which Xlib falls back to without DISPLAY, stays free,
    // and xvfb-run's numbers (99 up) are out of the way.
    static constexpr int kFirstNumber = 200;

    // A server on display :number, which writes the number back once it accepts connections
    // and ends at once when another server has that number.
    void Start(int number, const std::vector<std::string>& extra) {
        int fds[2];
        if (pipe(fds) != 0) return;
        char display[16]; // built in place: GCC 12 warns wrongly on ":" + std::to_string
        snprintf(display, sizeof display, ":%d", number);
        std::vector<std::string> args = {
            "Xvfb",    display,   "-displayfd",   std::to_string(fds[1]),
            "-screen", "0",       "1280x1024x24", "-nolisten",
            "tcp",     "-noreset"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        // Not the test's own output either: ctest waits for that to close, and a server left
        // behind by a test that crashed would hold it open until the test's time ran out.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0); // O_WRONLY
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
        if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The number, then a newline once the server accepts connections; nothing when it ended.
        bool started = false;
        char c = 0;
        while (pid > 0 && read(fds[0], &c, 1) == 1)
            if (c == '\n') {
                started = true;
                break;
            }
        close(fds[0]);
        if (started) {
            name = display;
            return;
        }
        if (pid > 0) waitpid(pid, nullptr, 0);
        pid = -1;
    }

    pid_t pid = -1;
    std::string name;
};
