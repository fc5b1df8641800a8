#include "BinaryFile.h"

#include <fstream>
#include <iterator>

namespace ferrovane::host {

bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
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
