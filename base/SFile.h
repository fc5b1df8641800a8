#pragma once

#include "Owner.h"
#include "datastring.h"

#include <cstdio>

namespace zell::file {

// An open file and the parts of its path. Reads and writes report what they moved; a closed
// file moves nothing.
class SFile {
  public:
    enum Flag { kRead = 1, kWrite = 2, kAppend = 4, kBinary = 8, kUpdate = 16 };
    using Text = data::datastring<32, char>;

    SFile() = default;
    SFile(const SFile&) = delete;
    SFile& operator=(const SFile&) = delete;
    ~SFile() { Close(); }

    // Opens with the mode the flags make: kRead "r", else kWrite "w", else kAppend "a", then
    // "b" and "+". Flags without one of the first three open nothing. An open file is closed
    // first.
    [[nodiscard]] bool Open(const char* name, int flags);
    void Close();
    bool IsOpen() const { return file != nullptr; }

    static bool Exists(const char* name);
    // True for a regular file that can be opened for reading; size is its length in bytes.
    [[nodiscard]] static bool Readable(const char* name, unsigned int& size);

    unsigned int Read(char* out, unsigned int size);
    // Replaces text with the next size bytes (up to the first NUL byte among them).
    unsigned int Read(Text& text, unsigned int size);
    // Replaces text with the whole file; the position ends at the end.
    unsigned int ReadAll(Text& text);
    // The next byte, or EOF.
    int ReadChar();
    // Reads one line of at most size - 1 bytes into out, keeping its newline when asked.
    [[nodiscard]] bool ReadLine(char* out, unsigned int size, bool keepNewline);
    // Replaces text with the next line, of any length, without its newline.
    [[nodiscard]] bool ReadLine(Text& text);

    unsigned int Write(const char* data, unsigned int size);
    unsigned int Write(const Text& text);
    [[nodiscard]] bool WriteChar(char c);
    [[nodiscard]] bool WriteLine(const char* line);

    [[nodiscard]] bool Seek(unsigned int position);
    [[nodiscard]] bool SeekBegin();
    [[nodiscard]] bool SeekNext(unsigned int bytes);
    [[nodiscard]] bool SeekLast();

    const Text& Path() const { return path; }
    const Text& Name() const { return name; }
    const Text& Directory() const { return directory; }
    const Text& Extension() const { return extension; }
    const data::datastring<8, char>& Mode() const { return mode; }

  private:
    void SplitPath(const char* full);

    gsl::owner<FILE*> file = nullptr;
    Text path;
    Text name;
    Text directory;
    Text extension;
    data::datastring<8, char> mode;
};

} // namespace zell::file
