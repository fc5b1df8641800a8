#include "SOperatingSystemData.h"

#include "ProcText.h"

#include <cstring>

namespace zell::system {

namespace {

constexpr int kFileLimit = 4096;

// Reads one kernel file into buffer; false when it is to be left out.
bool ReadKernelFile(const char* path, char* buffer) {
    // One byte more than the limit tells a file that fills all of it from one that does not.
    int got = ReadOnce(path, buffer, kFileLimit + 1);
    return got > 0 && got < kFileLimit;
}

void AppendBounded(char* text, int size, const char* piece) {
    size_t used = strlen(text);
    size_t room = static_cast<size_t>(size) - 1 - used;
    size_t length = strnlen(piece, room);
    memcpy(text + used, piece, length);
    text[used + length] = 0;
}

} // namespace

bool SOperatingSystemData::QueryFeatures(const SKernelFiles& files) {
    kernelOk = true;
    valid = true;
    text[0] = 0;
    char buffer[kFileLimit + 1];
    const char* paths[] = {files.ostype, files.osrelease, files.version};
    for (int i = 0; i < 3; ++i) {
        if (!ReadKernelFile(paths[i], buffer)) continue;
        AppendBounded(text, sizeof text, buffer);
        if (i == 1 && !(ParseDecimal(buffer) > 2.4f)) kernelOk = false;
    }
    return valid;
}

} // namespace zell::system
