#pragma once

namespace zell::system {

// The kernel files the operating-system query reads, in this order.
struct SKernelFiles {
    const char* ostype = "/proc/sys/kernel/ostype";
    const char* osrelease = "/proc/sys/kernel/osrelease";
    const char* version = "/proc/sys/kernel/version";
};

class SOperatingSystemData {
  public:
    // Appends each readable kernel file to text (cut at the field's size) and sets kernelOk to
    // false when the release is not newer than 2.4. A file that is missing, empty or 4096 bytes
    // or longer is left out. Returns valid, which is always true.
    bool QueryFeatures(const SKernelFiles& files = SKernelFiles());

    char text[256] = {};
    bool kernelOk = false;
    bool valid = false;
};

} // namespace zell::system
