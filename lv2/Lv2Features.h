// Finding what a host hands over among its features, for the plugin and its UI alike.
#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace ferrovane::lv2 {

// The data of the host's feature of that URI; null when the host gives none (or none with data).
inline void* FeatureData(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i)
        if (features[i]->URI && strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

} // namespace ferrovane::lv2
