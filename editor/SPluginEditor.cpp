#include "SPluginEditor.h"

#include "HostApp.h"
#include "LoadError.h"
#include "Product.h"
#include "Relaxed.h"
#include "SCursor.h"
#include "SGlobals.h"
#include "SHostDisplay.h"
#include "SIEditorHost.h"
#include "SIEngine.h"
#include "SMessageDialog.h"
#include "SPluginPanel.h"
#include "SScale.h"
#include "SStaticData.h"
#include "STimerIdle.h"
#include "SUiScope.h"
#include "SXRequestScope.h"
#include "ThreadSleep.h"
#include "ToolkitDisplay.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

// The words of host product strings, in the order they are searched.
struct HostWord {
    const char* word;
    int code;
};
constexpr HostWord kHostWords[] = {
    {"Cubase", kHostCubase},     {"Samplitude", kHostSamplitude}, {"SAVIHost", kHostSaviHost},
    {"Melodyne", kHostMelodyne}, {"Tracktion", kHostTracktion},   {"Cantabile", kHostCantabile},
    {"Phrazor", kHostPhrazor},   {"Usine", kHostUsine},           {"energyXT", kHostEnergyXT},
};
constexpr int kCubase4Version = 8200;

// "Ferrovane (<random>)": the windows of two instances never share a title.
void WindowTitle(zell::gui::SGlobals* globals, char* out, size_t size) {
    snprintf(out, size, "%s (%i)", kProductName, static_cast<int>(globals->random.Integer()));
}

unsigned TakeResetId(zell::gui::SGlobals* globals) {
    return static_cast<unsigned>(globals->idCounter.exchange(0));
}

// The one owner of the idle links the idle thread may still be inside: an editor that ends
// during a pass of its link leaves the link here, and every later end frees those no pass is
// inside any more. A link a pass is still inside when the object unloads stays with the idle
// thread, which owns what it touches then.
template <class Link> class RetiredLinks {
  public:
    // The idle registry exists first, so that it outlives this owner's last sweep.
    RetiredLinks() { static_cast<void>(zell::threading::STimerIdle::RegisteredCount()); }
    ~RetiredLinks() {
        Sweep();
        for (std::unique_ptr<Link>& link : links)
            static_cast<void>(link.release());
    }

    // Frees the link at once when no pass is inside it.
    void Keep(std::unique_ptr<Link> link) {
        std::lock_guard<std::mutex> hold(lock);
        if (InPass(*link)) links.push_back(std::move(link));
    }

    void Sweep() {
        std::lock_guard<std::mutex> hold(lock);
        std::erase_if(links, [](const std::unique_ptr<Link>& link) { return !InPass(*link); });
    }

  private:
    static bool InPass(Link& link) {
        return zell::threading::STimerIdle::Calling(&link.idleEntry, &link);
    }

    std::mutex lock;
    std::vector<std::unique_ptr<Link>> links;
};

} // namespace

struct SPluginEditor::IdleLink {
    void (*idleEntry)(void*) = nullptr;
    std::atomic<_XDisplay*> display{nullptr}; // the instance's, taken before the editor
    std::mutex alive;                         // held while a pass uses the editor
    SPluginEditor* editor = nullptr;
};

SPluginEditor::SPluginEditor(SIEngine* engine, SIEditorHost* host, zell::gui::SGlobals* globals,
                             int& loadError)
    : idleLink(std::make_unique<IdleLink>()), globals(globals), engine(engine), host(host) {
    zell::gui::InitThreads();
    idleLink->editor = this;
    memset(updateFlags, 0, sizeof updateFlags);
    GetHostApp(loadError);
}

SPluginEditor::~SPluginEditor() {
    Shutdown();
    {
        zell::gui::SXRequestScope display(zell::gui::InstanceDisplay(globals));
        cursor.reset();
        panel.reset();
        if (parkingControl) parkingControl->Retire();
        parkingControl.reset();
        // The pump may be handling the box's own windows' events right now, as for any control.
        if (messageDialog) messageDialog->Retire();
        messageDialog.reset();
    }
    {
        std::lock_guard<std::mutex> hold(idleLink->alive);
        idleLink->editor = nullptr;
    }
    static RetiredLinks<IdleLink> retired;
    retired.Sweep();
    retired.Keep(std::move(idleLink));
}

// ---- Host GUI thread ----

void SPluginEditor::Shutdown() {
    if (IsOpen()) close();
    // Controls dispatched on another thread leave dispatch before they are deleted, and an
    // event being handled now ends first.
    if (panel) panel->Retire();
}

void SPluginEditor::open(void* parent) {
    if (IsOpen()) close(); // a host that opens twice gets the second window
    zell::gui::SUiScope scope(globals);
    // Every window of the editor is made at it.
    zell::gui::SettleScale(globals);
    hostWindow = static_cast<int>(reinterpret_cast<uintptr_t>(parent));
    globals->parentWindow = static_cast<unsigned long>(hostWindow);
    if (const char* name = host->EffectName()) globals->name = name;
    if (const char* directory = host->Directory()) globals->directory = directory;
    if (!parkingControl) CreateParking();
    if (panel) panel->Reparent(hostWindow);
    SetSize(kWidth, kHeight);
    if (!panel) CreatePanel();
    cursor = std::make_unique<zell::gui::SCursor>();
    cursor->window = static_cast<zell::gui::XId>(hostWindow);
    cursor->CreateDefault(Scale());
    globals->cursor = cursor.get();
    panel->Show();
    idleId = globals->NewId();
    idleLink->idleEntry = idlestatic;
    idleLink->display = zell::gui::InstanceDisplay(globals);
    panel->CreateIdleTimer(22, false);
    panel->CreateIdleFunction(&idleLink->idleEntry, idleLink.get());
    engine->SetEditorClosed(false);
    StoreRelaxed(isOpen, true);
    postUpdate();
}

// The parking control and the message dialog are made once; the panel again after a host
// destroyed it.
void SPluginEditor::CreateParking() {
    // Every font the editor and its message box draw with, asked about at once.
    zell::gui::statdata.PrefetchFonts({{7, false}, {8, false}, {10, false}, {10, true}, {14, true}},
                                      Scale());
    char title[64];
    WindowTitle(globals, title, sizeof title);
    parkingControl = std::make_unique<zell::gui::SControl>(
        globals, nullptr, TakeResetId(globals), title, 0, 0, 0, kWidth, kHeight, 0, false);
    parkingControl->SetSize(kWidth, kHeight);
    parkingWindow = static_cast<int>(parkingControl->GetWindow());
    messageDialog = std::make_unique<zell::gui::SMessageDialog>(Scale());
}

void SPluginEditor::CreatePanel() {
    char title[64];
    WindowTitle(globals, title, sizeof title);
    panel = std::make_unique<SPluginPanel>(globals, nullptr, TakeResetId(globals), title, 0x80001,
                                           0, 0, kWidth, kHeight, hostWindow, false);
    panel->editor = this;
    panel->engine = engine;
    panel->notice = host->FormatNotice();
    panel->LoadControls();
}

void SPluginEditor::close() {
    engine->SetEditorClosed(true);
    StoreRelaxed(isOpen, false);
    if (!panel) return; // never opened
    // Ends the idle work; an idle pass in progress finishes first. The lock is taken only
    // afterwards, because that pass holds it.
    panel->DestroyIdleTimer();
    zell::threading::ThreadSleep(25);
    const bool gone = PanelGone(); // may wait for the event pump, which may want the lock
    {
        zell::gui::SUiScope scope(globals);
        if (!gone) panel->Reparent(parkingWindow);
        hostWindow = 0;
        globals->cursor = nullptr;
        globals->parentWindow = 0;
        cursor.reset();
    }
    if (gone) DiscardPanel();
}

// The host destroyed its window with the panel in it: the panel's window is gone.
bool SPluginEditor::PanelGone() {
    return panel && !panel->WindowAlive();
}

// The panel's controls forget their destroyed windows and the panel goes, without a request on
// any of them; the plugin keeps everything the next panel shows. Outside the interface lock:
// the event pump may be waiting for it while the panel leaves dispatch.
void SPluginEditor::DiscardPanel() {
    zell::gui::SXRequestScope display(zell::gui::InstanceDisplay(globals));
    panel->WindowGone();
    panel->Retire();
    panel.reset();
}

// ---- Idle thread ----

void SPluginEditor::idlestatic(void* data) {
    auto* link = static_cast<IdleLink*>(data);
    if (!link) return;
    // Before any lock of ours, as a host holding it does.
    zell::gui::SXRequestScope display(link->display.load());
    std::lock_guard<std::mutex> alive(link->alive);
    if (link->editor) link->editor->idle();
}

void SPluginEditor::idle() {
    std::lock_guard<std::recursive_mutex> hold(globals->uiLock);
    if (!IsOpen() || zell::gui::ToolkitConnectionLost()) return; // inert without a server
    if (LoadRelaxed(updateFlag)) {
        StoreRelaxed(updateFlag, 0);
        update();
        return; // an indexed request waits for the next pass
    }
    if (LoadRelaxed(indexedUpdatePending)) {
        StoreRelaxed(indexedUpdatePending, 0);
        updateIndexed();
    }
}

void SPluginEditor::idleslow() {
    if (panel) panel->TimerProc(0);
}

void SPluginEditor::update() {
    if (!IsOpen()) return;
    for (uint8_t& flag : updateFlags)
        StoreRelaxed(flag, 0);
    panel->RefreshControls(-1);
}

void SPluginEditor::updateIndexed() {
    if (!IsOpen()) return;
    for (int i = 0; i < kUpdateSlots; ++i) {
        if (LoadRelaxed(updateFlags[i]) != 1) continue;
        StoreRelaxed(updateFlags[i], 0);
        panel->RefreshControls(i);
    }
}

void SPluginEditor::updateAtIndex(intptr_t index) {
    if (!IsOpen() || static_cast<uintptr_t>(index) >= kUpdateSlots) return;
    StoreRelaxed(updateFlags[index], 0);
    panel->RefreshControls(static_cast<long>(index));
}

// ---- Any thread ----

void SPluginEditor::postUpdate() {
    StoreRelaxed(updateFlag, 1);
}

void SPluginEditor::postUpdateIndexed(intptr_t index) {
    if (static_cast<uintptr_t>(index) >= kUpdateSlots) return;
    StoreRelaxed(indexedUpdatePending, 1);
    StoreRelaxed(updateFlags[index], 1);
}

bool SPluginEditor::IsOpen() const {
    return LoadRelaxed(isOpen);
}

bool SPluginEditor::UpdatePending() const {
    return LoadRelaxed(updateFlag) != 0;
}

bool SPluginEditor::IndexedUpdatePending() const {
    return LoadRelaxed(indexedUpdatePending) != 0;
}

bool SPluginEditor::UpdateRequested(int index) const {
    return index >= 0 && index < kUpdateSlots && LoadRelaxed(updateFlags[index]) == 1;
}

// ---- Size ----

int SPluginEditor::Scale() const {
    return globals->Scale();
}

void SPluginEditor::AnnounceSize() {
    zell::gui::SettleScale(globals);
    ReportSize(reportedWidth, reportedHeight);
}

void SPluginEditor::ReportSize(int width, int height) {
    reportedWidth = width;
    reportedHeight = height;
    host->ReportEditorSize(width * Scale(), height * Scale());
}

void SPluginEditor::ResizeHostWindow(int width, int height) {
    zell::gui::ResizeHostWindow(static_cast<unsigned long>(hostWindow), width * Scale(),
                                height * Scale());
}

void SPluginEditor::RequestHostSize(int width, int height) {
    host->RequestWindowSize(width * Scale(), height * Scale());
}

void SPluginEditor::SetSize(int width, int height) {
    ReportSize(width, height);
    if (!host->HostSizesWindow()) ResizeHostWindow(width, height);
    RequestHostSize(width, height);
    if (panel) panel->SetSize(width, height);
}

void SPluginEditor::Resize(int width, int height) {
    ReportSize(width, height);
    RequestHostSize(width, height);
}

void SPluginEditor::ChangeSize(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    const int width = reportedWidth + dx, height = reportedHeight + dy;
    ReportSize(width, height);
    if (!host->HostSizesWindow()) ResizeHostWindow(width, height);
    RequestHostSize(width, height);
}

zell::gui::Rect2 SPluginEditor::GetRect() const {
    if (!panel) return {};
    return {0, 0, panel->WindowRect().Width(), panel->WindowRect().Height()};
}

// ---- Host recognition ----

void SPluginEditor::GetHostApp(int& loadError) {
    if (!host) return;
    char vendor[128] = {}, product[128] = {};
    host->HostStrings(vendor, product);
    // A host may fill the whole buffer.
    vendor[sizeof vendor - 1] = product[sizeof product - 1] = 0;
    hostApp = kHostUnknown;
    if (!product[0]) return;
    for (const HostWord& w : kHostWords) {
        if (!strstr(product, w.word)) continue;
        hostApp = w.code;
        if (w.code == kHostCubase && host->HostVersion() >= kCubase4Version) hostApp = kHostCubase4;
        if (w.code == kHostUsine) loadError = kHostNotSupported;
        return;
    }
}

} // namespace ferrovane
