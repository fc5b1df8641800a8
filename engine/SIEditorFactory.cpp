#include "SIEditorFactory.h"

#include <atomic>

namespace ferrovane {

namespace {

std::atomic<SIEditorFactory*> factory{nullptr};

} // namespace

void SetEditorFactory(SIEditorFactory* f) {
    factory.store(f);
}

SIEditorFactory* EditorFactory() {
    return factory.load();
}

} // namespace ferrovane
