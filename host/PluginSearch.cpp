#include "PluginSearch.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace ferrovane::host {

namespace {

constexpr const char* kPluginFile = "ferrovane.so";

// The bytes of an ELF header that say which programs can load the file: the magic, the class
// (32 or 64 bits), the byte order and, at 18, the machine.
using ElfIdentity = std::array<unsigned char, 20>;

bool ReadIdentity(const std::string& path, ElfIdentity& identity) {
    const std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), &fclose);
    if (!file) return false;
    const size_t read = fread(identity.data(), 1, identity.size(), file.get());
    return read == identity.size() && identity[0] == 0x7F && identity[1] == 'E' &&
           identity[2] == 'L' && identity[3] == 'F';
}

std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

} // namespace

std::vector<std::string> PluginPlaces(const std::string& program, const std::string& home) {
    const std::string folder = std::filesystem::path(program).parent_path().string();
    std::vector<std::string> places = {
        folder + "/../lib/lxvst/" + kPluginFile, // /usr/bin, /usr/local/bin, a tarball's bin
        folder + "/../" + kPluginFile,           // build/<arch>/host in a build tree
        std::string("/usr/lib/lxvst/") + kPluginFile,
        std::string("/usr/local/lib/lxvst/") + kPluginFile,
    };
    if (!home.empty()) places.push_back(home + "/.lxvst/" + kPluginFile);
    return places;
}

bool SameMachine(const std::string& path, const std::string& program) {
    ElfIdentity plugin, own;
    return ReadIdentity(path, plugin) && ReadIdentity(program, own) && plugin[4] == own[4] &&
           plugin[5] == own[5] && plugin[18] == own[18] && plugin[19] == own[19];
}

std::string FindPlugin(const std::string& program, const std::string& home, std::string& error) {
    std::vector<std::string> looked;
    std::string unusable;
    for (const std::string& place : PluginPlaces(program, home)) {
        std::string path = Normal(place); // /usr/bin/../lib/lxvst is /usr/lib/lxvst
        if (std::find(looked.begin(), looked.end(), path) != looked.end()) continue;
        if (SameMachine(path, program)) return path;
        if (access(path.c_str(), F_OK) == 0) unusable += " " + path;
        looked.push_back(path);
    }
    error = "no plugin found (looked for";
    for (const std::string& path : looked)
        error += (path == looked.front() ? " " : ", ") + path;
    error += ")";
    if (!unusable.empty()) error += "; not a plugin of this program's architecture:" + unusable;
    error += "; give its path as PLUGIN";
    return {};
}

std::string ProgramPath() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<size_t>(length)) : std::string();
}

} // namespace ferrovane::host
