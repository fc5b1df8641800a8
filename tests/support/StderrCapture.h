// Standard error of the process, kept in a temporary file for a test to read.
#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

// Sends standard error to a temporary file until Finish.
class StderrCapture {
  public:
    StderrCapture() : file(tmpfile()), saved(dup(2)) {
        fflush(stderr);
        if (file) dup2(fileno(file), 2);
    }
    ~StderrCapture() { Finish(); }
    std::string Finish() {
        if (saved < 0) return text;
        fflush(stderr);
        dup2(saved, 2);
        close(saved);
        saved = -1;
        if (file) {
            rewind(file);
            char buffer[512];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
                text.append(buffer, n);
            fclose(file);
        }
        return text;
    }

  private:
    FILE* file;
    int saved;
    std::string text;
};
