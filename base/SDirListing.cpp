#include "SDirListing.h"

#include "SDir.h"

namespace zell::file {

SDirListing::~SDirListing() {
    delivered = true;
    worker.Cancel();
}

bool SDirListing::Start(object::SIEventTarget* target, const char* folder, bool withHidden) {
    delivered = true;
    worker.Cancel();
    tree.Clear();
    result = 0;
    if (!SDir::Exists(folder)) return false;
    control = target;
    path = folder;
    hidden = withHidden;
    delivered = false;
    worker.Start(DirListing, this);
    if (!worker.IsActive()) delivered = true;
    return worker.IsActive();
}

void* SDirListing::DirListing(void* listing) {
    auto* self = static_cast<SDirListing*>(listing);
    if (!self) return nullptr;
    SDir dir;
    if (dir.Open(self->path.Text())) {
        // A listing cut short still reports the items it holds.
        self->result = dir.Traverse(&self->tree, 0, self->hidden);
    }
    if (!threading::SThread::StopRequested()) self->Deliver();
    return nullptr;
}

void SDirListing::SendResult() {
    worker.Cancel();
    Deliver();
}

void SDirListing::Deliver() {
    if (delivered.exchange(true) || !control || control->CleaningUp()) return;
    object::SBaseEvent event;
    event.time = clock();
    event.type = object::SBaseEvent::kListing;
    event.kind = 1;
    event.value = result;
    event.sender = control;
    control->SendBaseEvent(event);
}

} // namespace zell::file
