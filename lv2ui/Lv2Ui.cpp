#include "Lv2Ui.h"

#include "Lv2Features.h"
#include "Lv2Uris.h"
#include "Product.h"
#include "SEditorKit.h"
#include "SGlobals.h"
#include "SIEngine.h"
#include "SILv2Instance.h"
#include "SPluginEditor.h"
#include "SPluginPanel.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <memory>

namespace ferrovane::lv2 {

namespace {

// The host's ui:scaleFactor among the options it gives the UI (a float); 0 where it gives none.
// Whether it is a usable factor is the scale's choice to make (SScale.h).
float HostScaleFactor(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    const auto* options =
        static_cast<const LV2_Options_Option*>(FeatureData(features, LV2_OPTIONS__options));
    if (!map || !map->map || !options) return 0.0f;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID type = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o)
        if (o->key == key && o->type == type && o->size == sizeof(float) && o->value)
            return *static_cast<const float*>(o->value);
    return 0.0f;
}

} // namespace

Lv2Ui* Lv2Ui::Create(const char* bundlePath, LV2UI_Write_Function write,
                     LV2UI_Controller controller, LV2UI_Widget* widget,
                     const LV2_Feature* const* features) {
    auto* instance = static_cast<SILv2Instance*>(FeatureData(features, LV2_INSTANCE_ACCESS_URI));
    void* parent = FeatureData(features, LV2_UI__parent);
    if (!instance || !parent || !widget) return nullptr;
    std::unique_ptr<Lv2Ui> ui(
        new Lv2Ui(instance->Engine(), bundlePath, write, controller, features));
    return ui->Open(parent, widget, HostScaleFactor(features)) ? ui.release() : nullptr;
}

Lv2Ui::Lv2Ui(SIEngine& engine, const char* bundlePath, LV2UI_Write_Function write,
             LV2UI_Controller controller, const LV2_Feature* const* features)
    : engine(engine), directory(bundlePath ? bundlePath : ""), write(write), controller(controller),
      resize(static_cast<const LV2UI_Resize*>(FeatureData(features, LV2_UI__resize))),
      touch(static_cast<const LV2UI_Touch*>(FeatureData(features, LV2_UI__touch))) {}

bool Lv2Ui::Open(void* parent, LV2UI_Widget* widget, float scaleFactor) {
    SEditorKit& kit = SEditorKit::Instance();
    int loadError = 0; // an LV2 host names itself to no one: none is refused
    globals = kit.CreateGlobals();
    // The toolkit's own connection: an LV2 host gives no display.
    if (!globals || !kit.AdoptHostDisplay(globals.get(), nullptr)) return false;
    globals->scaleHint = scaleFactor;
    editor = std::make_unique<SPluginEditor>(&engine, this, globals.get(), loadError);
    engine.AttachEditor(editor.get());
    editor->open(parent);
    if (!editor->Panel()) return false;
    *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(editor->Panel()->GetWindow()));
    return true;
}

// As the VST 2.x plugin goes: the editor closes before the engine forgets it, and the globals go
// after the editor, whose window writes to them as it closes.
Lv2Ui::~Lv2Ui() {
    if (editor) {
        editor->Shutdown();
        engine.DetachEditor(editor.get());
    }
    editor.reset();
    if (globals) SEditorKit::Instance().ReleaseHostDisplay(globals.get());
    globals.reset();
}

// Reset and Clear reach the host as state changes, never as port writes: the host would press
// them again.
int Lv2Ui::Idle() {
    const uint32_t changes = engine.TakeUserChanges(SIEngine::kParameterChanges);
    for (uint32_t port = kFirstParameter; changes && port < kProgram; ++port) {
        const int32_t i = static_cast<int32_t>(port - kFirstParameter);
        if (!(changes & (1u << i))) continue;
        const float value = engine.getParameter(i);
        if (touch) touch->touch(touch->handle, port, true);
        if (write) write(controller, port, sizeof value, 0, &value);
        if (touch) touch->touch(touch->handle, port, false);
    }
    return 0;
}

// ---- The editor's host ----

void Lv2Ui::HostStrings(char* vendor, char* product) {
    vendor[0] = product[0] = 0;
}

int Lv2Ui::HostVersion() {
    return 0;
}

bool Lv2Ui::HostSizesWindow() {
    return resize != nullptr;
}

bool Lv2Ui::RequestWindowSize(int width, int height) {
    return resize && resize->ui_resize(resize->handle, width, height) == 0;
}

// An LV2 host reads the size of the window itself.
void Lv2Ui::ReportEditorSize(int, int) {}

const char* Lv2Ui::EffectName() {
    return kProductName;
}

const char* Lv2Ui::Directory() {
    return directory.c_str();
}

// LV2 asks for no line of its own.
const char* Lv2Ui::FormatNotice() {
    return nullptr;
}

} // namespace ferrovane::lv2
