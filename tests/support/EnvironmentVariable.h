// An environment variable set, or cleared, for one scope, and put back as it was afterwards.
#pragma once

#include <cstdlib>
#include <string>

class EnvironmentVariable {
  public:
    // value null: the variable is cleared.
    EnvironmentVariable(const char* name, const char* value) : name(name) {
        if (const char* old = getenv(name)) previous = old, had = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentVariable() {
        if (had)
            setenv(name.c_str(), previous.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

  private:
    std::string name;
    std::string previous;
    bool had = false;
};

// DISPLAY for one scope.
class DisplayName : public EnvironmentVariable {
  public:
    explicit DisplayName(const std::string& value)
        : EnvironmentVariable("DISPLAY", value.c_str()) {}
};
