// The editor recognises the host from its product string while the plugin is being made.
#include "PluginHarness.h"

#include "SEditorKit.h"
#include "SPluginEditor.h"

namespace ferrovane::test {
namespace {

struct Recognition {
    const char* product;
    const char* vendor;
    VstInt32 version;
    int code;
    const char* name;
    int loadError;
};

class HostApps : public testing::TestWithParam<Recognition> {};

TEST_P(HostApps, ProductStringNamesTheHost) {
    const Recognition& r = GetParam();
    HostAnswers answers;
    answers.product = r.product;
    answers.vendor = r.vendor;
    answers.vendorVersion = r.version;
    VstHost host(answers);
    SetEditorFactory(&SEditorKit::Instance());
    std::pair<VSTPlugin*, int> made{nullptr, 0};
    host.Create(
        [](audioMasterCallback cb, void* out) {
            int error = 0;
            auto* p = new VSTPlugin(cb, error);
            *static_cast<std::pair<VSTPlugin*, int>*>(out) = {p, error};
            return p->getAeffect();
        },
        &made);
    auto [plugin, loadError] = made;
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->Editor()->HostApp(), r.code) << r.product;
    EXPECT_STREQ(plugin->PluginHostName(), r.name);
    EXPECT_EQ(loadError, r.loadError);
    EXPECT_EQ(plugin->getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostApps,
    testing::Values(Recognition{"Cubase VST", "Steinberg", 8199, 8, "Cubase/Nuendo", 0},
                    Recognition{"Cubase VST", "Steinberg", 8200, 9, "Cubase4/Nuendo4", 0},
                    Recognition{"Samplitude Pro", "Magix", 1, 10, "Samplitude", 0},
                    Recognition{"SAVIHost", "Hermann Seib", 1, 6, "SaviHost", 0},
                    Recognition{"Melodyne", "Celemony", 1, 7, "Melodyne", 0},
                    Recognition{"Tracktion 3", "Mackie", 1, 11, "Tracktion", 0},
                    Recognition{"Cantabile Lite", "Topten", 1, 5, "Cantabile", 0},
                    Recognition{"Phrazor", "Phrazor", 1, 12, "Phrazor", 0},
                    Recognition{"Usine Hollyhock", "Sensomusic", 1, 13, "Usine", 3},
                    Recognition{"energyXT2", "XT Software", 1, 2, "Energy XT", 0},
                    // The first word found wins; case matters; an empty product knows nothing.
                    Recognition{"Usine for Cubase", "", 9000, 9, "Cubase4/Nuendo4", 0},
                    Recognition{"cubase", "Steinberg", 9000, 0, "(unknown)", 0},
                    Recognition{"", "Cubase", 9000, 0, "(unknown)", 0},
                    Recognition{"Ardour", "Paul Davis", 8, 0, "(unknown)", 0}));

} // namespace
} // namespace ferrovane::test
