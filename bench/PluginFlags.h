// The plugins a bench compares, named by its --plugin=NAME:PATH flags; every other argument is
// left for Google Benchmark, the program's name first.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

inline std::vector<std::pair<std::string, std::string>> PluginFlags(int argc, char** argv,
                                                                    std::vector<char*>& rest) {
    constexpr const char* kFlag = "--plugin=";
    std::vector<std::pair<std::string, std::string>> plugins;
    rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        const char* value = argv[i] + strlen(kFlag);
        const char* colon = strchr(value, ':');
        if (!strncmp(argv[i], kFlag, strlen(kFlag)) && colon)
            plugins.emplace_back(std::string(value, colon), colon + 1);
        else
            rest.push_back(argv[i]);
    }
    return plugins;
}
