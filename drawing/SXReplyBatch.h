// Questions put to the X server together: the requests go out in one write, their answers are
// taken as they arrive, and the caller waits once for all of them, where Xlib's own calls wait
// once per question. No request of a batch is waited on by itself, so one the server refuses
// only goes without an answer: on a connection that another thread reads, Xlib may hand the
// refusal of a request it waits for to that thread, and the wait then ends as if the connection
// were lost. The errors of a batch's requests take the toolkit's routes (SXRequestScope) and
// never reach the host. Any thread; the display is locked for the batch.
#pragma once

#include <cstddef>

struct _XDisplay;

namespace zell::gui {

class SXReplyBatch {
  public:
    // Makes request `index` with Xlib's request macros (the display is locked); the last
    // request it makes is the one whose reply is wanted.
    using Ask = void (*)(_XDisplay* display, int index, void* context);
    // The reply to request `index` as the server sent it: 32 bytes and what follows them.
    using Take = void (*)(void* context, int index, const unsigned char* reply, size_t length);

    // Returns once every request has been answered; a request refused gets no Take.
    static void Run(_XDisplay* display, int count, Ask ask, Take take, void* context);

    // For an Ask: the data that follows a request's head (a name, a list), padded, into Xlib's
    // buffer, so that the whole batch still goes out in one write.
    static void Append(_XDisplay* display, const void* data, size_t length);
};

// The same with lambdas: ask(display, index) and take(index, reply, length).
template <typename AskF, typename TakeF>
void AskTogether(_XDisplay* display, int count, AskF&& ask, TakeF&& take) {
    struct Both {
        AskF& ask;
        TakeF& take;
    } both{ask, take};
    SXReplyBatch::Run(
        display, count, [](_XDisplay* d, int i, void* c) { static_cast<Both*>(c)->ask(d, i); },
        [](void* c, int i, const unsigned char* reply, size_t length) {
            static_cast<Both*>(c)->take(i, reply, length);
        },
        &both);
}

} // namespace zell::gui
