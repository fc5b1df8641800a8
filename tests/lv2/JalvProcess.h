// jalv (or jalv.gtk3) running the built LV2 plugin as a JACK client of a server of the test's, its
// standard input a pipe: the console jalv runs until the pipe closes, jalv.gtk3 until it is told
// to end.
#pragma once

#include "Lv2Uris.h"
#include "ThreadProbe.h"

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ferrovane::test {

class Jalv {
  public:
    // `program` with the JACK client name `name`, the plugin found on `lv2Path`, and `options`.
    Jalv(const char* program, const std::string& server, const std::string& name,
         const std::string& lv2Path, const std::vector<std::string>& options) {
        int in[2];
        if (pipe(in) != 0) return;
        std::vector<const char*> argv = {program, "-x", "-n", name.c_str()};
        for (const std::string& o : options)
            argv.push_back(o.c_str());
        argv.push_back(lv2::kPluginUri);
        argv.push_back(nullptr);
        pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            close(in[1]);
            setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
            setenv("LV2_PATH", lv2Path.c_str(), 1);
            execvp(program, const_cast<char**>(argv.data()));
            _exit(127);
        }
        close(in[0]);
        input = in[1];
    }
    ~Jalv() { Quit(); }
    Jalv(const Jalv&) = delete;
    Jalv& operator=(const Jalv&) = delete;

    // Ends it as a user does: its input ends, and a signal like Ctrl+C follows for one that
    // reads none. Its exit status.
    int Quit() {
        if (input >= 0) close(input);
        input = -1;
        int status = -1;
        if (pid > 0 && !Within(2, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
            kill(pid, SIGINT);
            if (!Within(20, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
            }
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid = -1;
    int input = -1;
};

} // namespace ferrovane::test
