// zell::data::datastring: the toolkit's growable, always NUL-terminated byte string. N is the
// allocation step: the initial capacity and the granularity of every growth.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zell::data {

template <unsigned int N, typename T> class datastring {
    static_assert(sizeof(T) == 1 && N > 0, "datastring holds bytes");

  public:
    datastring() : text(std::make_unique<T[]>(N)), capacity(N), used(1), step(N) {}

    // Formats like printf into at most maxlen - 2 characters.
    [[gnu::format(printf, 3, 4)]] datastring(unsigned int maxlen, const char* format, ...)
        : text(std::make_unique<T[]>(Capacity(maxlen))), capacity(Capacity(maxlen)), used(1),
          step(N) {
        if (maxlen > 1 && format) {
            va_list args;
            va_start(args, format);
            vsnprintf(text.get(), maxlen - 1, format, args);
            va_end(args);
            text[maxlen - 1] = 0;
        }
        used = static_cast<unsigned int>(strlen(text.get())) + 1;
    }

    datastring(const datastring& other)
        : text(std::make_unique<T[]>(Capacity(other.used - 1))), capacity(Capacity(other.used - 1)),
          used(1), step(N) {
        Append(other.text.get());
    }

    explicit datastring(const char* s) : datastring() { *this = s; }

    datastring& operator=(const datastring& other) {
        if (this != &other) *this = other.text.get();
        return *this;
    }

    // A null source empties the string; a source inside this string's own text is safe.
    datastring& operator=(const char* s) {
        if (!s) {
            text[0] = 0;
            used = 1;
            return *this;
        }
        if (s == text.get()) return *this;
        unsigned int n = static_cast<unsigned int>(strlen(s)) + 1;
        if (n <= capacity) {
            memmove(text.get(), s, n);
            memset(text.get() + n, 0, capacity - n);
        } else {
            unsigned int size = Capacity(n);
            auto fresh = std::make_unique_for_overwrite<T[]>(size);
            memcpy(fresh.get(), s, n);
            text = std::move(fresh);
            capacity = size;
        }
        used = n;
        return *this;
    }

    // Appending a part of this string's own text is safe: the old array lives until the copy.
    datastring& Append(const char* s) {
        if (!s) return *this;
        unsigned int length = static_cast<unsigned int>(strlen(s));
        unsigned int n = used + length;
        if (n <= capacity) {
            memmove(text.get() + used - 1, s, length);
        } else {
            unsigned int size = Capacity(n);
            auto fresh = std::make_unique_for_overwrite<T[]>(size);
            memcpy(fresh.get(), text.get(), used - 1);
            // NOLINTNEXTLINE(bugprone-not-null-terminated-result): terminated below.
            memcpy(fresh.get() + used - 1, s, length);
            text = std::move(fresh);
            capacity = size;
        }
        text[n - 1] = 0;
        used = n;
        return *this;
    }

    datastring& Append(char c) {
        char temp[2] = {c, 0};
        return Append(temp);
    }

    // Appends at most maxlen - 2 formatted characters.
    [[gnu::format(printf, 3, 4)]] datastring& Append(unsigned int maxlen, const char* format, ...) {
        if (maxlen < 2 || !format) return *this;
        char local[256];
        std::vector<char> large;
        char* scratch = local;
        if (maxlen > sizeof local) {
            large.resize(maxlen);
            scratch = large.data();
        }
        va_list args;
        va_start(args, format);
        vsnprintf(scratch, maxlen - 1, format, args);
        va_end(args);
        scratch[maxlen - 1] = 0;
        return Append(scratch);
    }

    datastring& Clear(bool shrink) {
        if (shrink && capacity > step) {
            text = std::make_unique<T[]>(step);
            capacity = step;
        }
        text[0] = 0;
        used = 1;
        return *this;
    }

    void Initialize(unsigned int n) {
        unsigned int size = Capacity(n);
        text = std::make_unique<T[]>(size);
        capacity = size;
        used = 1;
    }

    // Splits at any of the delimiters (runs count as one, no empty tokens) and appends the tokens
    // to out; returns how many were added. The string itself is unchanged.
    int Tokenize(std::vector<datastring<32, char>>& out, const char* delimiters) const {
        if (!delimiters) return 0;
        datastring<32, char> token;
        std::string scratch(text.get(), used);
        int count = 0;
        char* state = nullptr;
        for (char* piece = strtok_r(scratch.data(), delimiters, &state); piece;
             piece = strtok_r(nullptr, delimiters, &state)) {
            token = piece;
            out.push_back(token);
            token.Clear(false);
            ++count;
        }
        return count;
    }

    const char* Text() const { return text.get(); }
    char* Data() { return text.get(); }
    unsigned int Length() const { return used - 1; }
    unsigned int Used() const { return used; }
    unsigned int CapacityBytes() const { return capacity; }
    unsigned int Step() const { return step; }

    // The smallest multiple of the step that holds n bytes, and the step itself for small n.
    static unsigned int Capacity(unsigned int n) { return n <= N ? N : (n + N - 1) / N * N; }

  private:
    std::unique_ptr<T[]> text;
    unsigned int capacity;
    unsigned int used;
    unsigned int step;
};

} // namespace zell::data
