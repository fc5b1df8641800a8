#include "BinaryFile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <system_error>

namespace ferrovane::host {

// Plain stdio: a folder opens like a file and only fails to read, which a stream would throw.
bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error) {
    data.clear();
    const std::unique_ptr<FILE, int (*)(FILE*)> in(fopen(path.c_str(), "rb"), &fclose);
    bool ok = in != nullptr;
    unsigned char chunk[65536];
    for (size_t n = sizeof chunk; ok && n == sizeof chunk;) {
        n = fread(chunk, 1, sizeof chunk, in.get());
        data.insert(data.end(), chunk, chunk + n);
        ok = !ferror(in.get());
    }
    if (!ok) error = "cannot read " + path + ": " + std::generic_category().message(errno);
    return ok;
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& data,
               std::string& error) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) error = "cannot write " + path;
    return static_cast<bool>(out);
}

} // namespace ferrovane::host
