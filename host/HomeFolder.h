#pragma once

#include <string>

namespace ferrovane::host {

// $HOME, else this user's home folder in the password database; empty when neither names one.
std::string HomeFolder();

} // namespace ferrovane::host
