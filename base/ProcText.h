// Helpers for reading the small text files of /proc.
#pragma once

namespace zell::system {

// Reads path with a single read of at most size - 1 bytes into buffer and NUL-terminates it.
// Returns the bytes read, or -1 when the file cannot be opened or read.
[[nodiscard]] int ReadOnce(const char* path, char* buffer, int size);

// The decimal number at the start of s ("2.6.18" gives 2.6, "1995.312" gives 1995.312), read
// with '.' as the decimal point whatever the host's locale; 0 when s holds no number.
double ParseDecimal(const char* s);

// The first line of text that starts with key, or null.
const char* FindLine(const char* text, const char* key);

} // namespace zell::system
