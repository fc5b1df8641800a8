// What the benches that compare plugins share: the plugins, named by --plugin=NAME:PATH flags,
// and the run of what they registered, with every other argument for Google Benchmark (the
// program's name first).
#pragma once

#include <benchmark/benchmark.h>

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

// Runs the benchmarks registered, with the arguments PluginFlags left.
inline void RunRegistered(std::vector<char*>& rest) {
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
