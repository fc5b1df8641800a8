#pragma once

#include <string>
#include <vector>

namespace ferrovane::host {

[[nodiscard]] bool ReadFile(const std::string& path, std::vector<unsigned char>& data,
                            std::string& error);
[[nodiscard]] bool WriteFile(const std::string& path, const std::vector<unsigned char>& data,
                             std::string& error);

} // namespace ferrovane::host
