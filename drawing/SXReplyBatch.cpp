#include "SXReplyBatch.h"

#include "SXRequestScope.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

struct Batch {
    std::vector<uint64_t> sequences; // of the request whose reply each ask wants
    SXReplyBatch::Take take;
    void* context;
};

// Called by Xlib for every reply it reads while the batch is waiting, on whichever thread reads
// it, with the display locked.
Bool TakeReply(Display* dpy, xReply* reply, char* buffer, int length, XPointer data) {
    auto* batch = reinterpret_cast<Batch*>(data);
    if (reply->generic.type != X_Reply) return False;
    const uint64_t sequence = X_DPY_GET_LAST_REQUEST_READ(dpy);
    for (size_t i = 0; i < batch->sequences.size(); ++i)
        if (batch->sequences[i] == sequence) {
            batch->take(batch->context, static_cast<int>(i),
                        reinterpret_cast<const unsigned char*>(buffer),
                        static_cast<size_t>(length));
            return True;
        }
    return False;
}

} // namespace

void SXReplyBatch::Run(Display* dpy, int count, Ask ask, Take take, void* context) {
    if (!dpy || count <= 0) return;
    SXRequestScope scope(dpy);
    Batch batch{std::vector<uint64_t>(static_cast<size_t>(count)), take, context};
    LockDisplay(dpy);
    _XAsyncHandler async{};
    async.next = dpy->async_handlers;
    async.handler = TakeReply;
    async.data = reinterpret_cast<XPointer>(&batch);
    dpy->async_handlers = &async;
    for (int i = 0; i < count; ++i) {
        ask(dpy, i, context);
        batch.sequences[static_cast<size_t>(i)] = X_DPY_GET_REQUEST(dpy);
    }
    // The one wait: an input-focus query, which the server never refuses, answered after all.
    xGetInputFocusReply focus;
    xReq* req;
    GetEmptyReq(GetInputFocus, req);
    (void)req;
    (void)_XReply(dpy, reinterpret_cast<xReply*>(&focus), 0, xTrue);
    DeqAsyncHandler(dpy, &async);
    UnlockDisplay(dpy);
    SyncHandle();
}

void SXReplyBatch::Append(Display* dpy, const void* data, size_t length) {
    const size_t padded = (length + 3) & ~size_t{3};
    if (dpy->bufptr + padded > dpy->bufmax) {
        _XSend(dpy, static_cast<const char*>(data), static_cast<long>(length));
        return;
    }
    memcpy(dpy->bufptr, data, length);
    memset(dpy->bufptr + length, 0, padded - length);
    dpy->bufptr += padded;
}

} // namespace zell::gui
