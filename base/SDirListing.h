#pragma once

#include "SFolderItem.h"
#include "SIEventTarget.h"
#include "SThread.h"

#include <atomic>

namespace zell::file {

// Lists a folder on a worker thread and tells a control when it is done: the control gets one
// listing event (type 10, kind 1, value = the number of items) per Start, sent from the worker
// when the listing ends, or from SendResult when that cuts it short.
class SDirListing {
  public:
    SDirListing() = default;
    SDirListing(const SDirListing&) = delete;
    SDirListing& operator=(const SDirListing&) = delete;
    // Stops and finishes the worker; no event is sent.
    ~SDirListing();

    // Starts listing path (one level) after finishing any listing in progress; false when the
    // folder cannot be opened or the worker cannot start.
    [[nodiscard]] bool Start(object::SIEventTarget* control, const char* path, bool hidden);
    // Stops a running worker, waits for it, and sends the result unless it was sent already.
    void SendResult();

    // The listed items; read them only once the result has been sent.
    const SFolderTree& Tree() const { return tree; }
    int Result() const { return result.load(); }

    static void* DirListing(void* listing);

  private:
    void Deliver();

    threading::SThread worker{2};
    object::SIEventTarget* control = nullptr;
    data::datastring<32, char> path;
    bool hidden = false;
    SFolderTree tree;
    std::atomic<int> result{0};
    std::atomic<bool> delivered{true};
};

} // namespace zell::file
