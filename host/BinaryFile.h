#pragma once

#include <string>
#include <vector>

namespace ferrovane::host {

bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error);
bool WriteFile(const std::string& path, const std::vector<unsigned char>& data, std::string& error);

} // namespace ferrovane::host
