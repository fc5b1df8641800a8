#pragma once

namespace zell::data {

// Three-way comparison of two NUL-terminated texts; null sorts before any text.
//   15: case-insensitive, a run of digits compares by its decimal value ("a9" < "a10");
//   -5: case-insensitive, every digit sorts after every other character;
//   -1 and -3: case-insensitive, character by character;
//   0, 2, 4, ..., 14: every pair is equal; any other mode: strcasecmp.
// Lower-casing uses the user's locale, prepared on first use. Safe on any thread.
int ExactCompare(const char* a, const char* b, int mode);

// Prepares the locale of ExactCompare; later calls do nothing.
void InitLocale();

} // namespace zell::data
