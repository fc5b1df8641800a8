#include "HomeFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace ferrovane::host {

std::string HomeFolder() {
    const char* home = getenv("HOME");
    if (home && *home) return home;
    passwd entry;
    char names[4096];
    passwd* user = nullptr;
    getpwuid_r(getuid(), &entry, names, sizeof names, &user);
    return user && user->pw_dir ? user->pw_dir : "";
}

} // namespace ferrovane::host
