#include "SFile.h"

#include "SFilePath.h"

#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace zell::file {

bool SFile::Open(const char* fileName, int flags) {
    Close();
    if (!fileName || !*fileName) return false;
    const char* base = flags & kRead ? "r" : flags & kWrite ? "w" : flags & kAppend ? "a" : nullptr;
    if (!base) return false;
    mode = base;
    if (flags & kBinary) mode.Append('b');
    if (flags & kUpdate) mode.Append('+');
    file = fopen(fileName, mode.Text());
    if (!file) return false;
    SplitPath(fileName);
    return true;
}

void SFile::SplitPath(const char* full) {
    std::vector<char> dir(strlen(full) + 1), base(strlen(full) + 1), ext(strlen(full) + 1);
    SFilePath::GetPathData(dir.data(), base.data(), ext.data(), full);
    path = full;
    directory = dir.data();
    name = base.data();
    extension = ext.data();
}

void SFile::Close() {
    if (file) fclose(file);
    file = nullptr;
}

bool SFile::Exists(const char* fileName) {
    struct stat info;
    return fileName && stat(fileName, &info) == 0;
}

bool SFile::Readable(const char* fileName, unsigned int& size) {
    size = 0;
    struct stat info;
    if (!fileName || stat(fileName, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    gsl::owner<FILE*> probe = fopen(fileName, "r");
    if (!probe) return false;
    fclose(probe);
    size = static_cast<unsigned int>(info.st_size);
    return true;
}

unsigned int SFile::Read(char* out, unsigned int size) {
    if (!file || !out) return 0;
    return static_cast<unsigned int>(fread(out, 1, size, file));
}

unsigned int SFile::Read(Text& text, unsigned int size) {
    text.Clear(false);
    if (!file) return 0;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, 0);
    unsigned int got = Read(buffer.data(), size);
    text = buffer.data();
    return got;
}

unsigned int SFile::ReadAll(Text& text) {
    text.Clear(false);
    if (!file || !SeekLast()) return 0;
    long length = ftell(file);
    if (length < 0 || !SeekBegin()) return 0;
    return Read(text, static_cast<unsigned int>(length));
}

int SFile::ReadChar() {
    return file ? fgetc(file) : EOF;
}

bool SFile::ReadLine(char* out, unsigned int size, bool keepNewline) {
    if (!file || !out || size < 2) return false;
    if (!fgets(out, static_cast<int>(size), file)) return false;
    size_t length = strlen(out);
    if (!keepNewline && length > 0 && out[length - 1] == '\n') out[length - 1] = 0;
    return true;
}

bool SFile::ReadLine(Text& text) {
    text.Clear(false);
    if (!file) return false;
    int c = fgetc(file);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = fgetc(file))
        text.Append(static_cast<char>(c));
    return true;
}

unsigned int SFile::Write(const char* data, unsigned int size) {
    if (!file || !data) return 0;
    return static_cast<unsigned int>(fwrite(data, 1, size, file));
}

unsigned int SFile::Write(const Text& text) {
    return Write(text.Text(), text.Length());
}

bool SFile::WriteChar(char c) {
    return file && fputc(static_cast<unsigned char>(c), file) != EOF;
}

bool SFile::WriteLine(const char* line) {
    if (!file || !line) return false;
    return fputs(line, file) >= 0 && fputc('\n', file) != EOF;
}

bool SFile::Seek(unsigned int position) {
    return file && fseek(file, static_cast<long>(position), SEEK_SET) == 0;
}

bool SFile::SeekBegin() {
    return Seek(0);
}

bool SFile::SeekNext(unsigned int bytes) {
    return file && fseek(file, static_cast<long>(bytes), SEEK_CUR) == 0;
}

bool SFile::SeekLast() {
    return file && fseek(file, 0, SEEK_END) == 0;
}

} // namespace zell::file
