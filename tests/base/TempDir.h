// A fresh directory under /tmp for one test, removed with its contents afterwards.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/ferrovane-base-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~TempDir() {
        std::string command = "rm -rf '" + path + "'";
        if (path != "/tmp") (void)!system(command.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes text into name below the directory and returns its full path.
    std::string Write(const std::string& name, const std::string& text) const {
        std::string full = path + "/" + name;
        std::ofstream(full, std::ios::binary) << text;
        return full;
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;
};
