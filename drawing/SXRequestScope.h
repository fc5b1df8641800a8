// The toolkit's requests on one display, made between construction and destruction from one
// thread: meanwhile the toolkit's calls on this thread go to that display (ToolkitDisplay). On
// a host's display it is locked for that time (so that no request of the host falls in
// between, and in the order of a host that holds its display while it calls the plugin), and
// the errors of those requests never reach the host's handler, whenever they arrive; on our
// own connection, where every error is absorbed anyway, nothing more happens. Scopes nest.
// Free of X headers.
#pragma once

struct _XDisplay;

namespace zell::gui {

class SXRequestScope {
  public:
    // On the toolkit's connection of the moment.
    SXRequestScope();
    explicit SXRequestScope(_XDisplay* display);
    ~SXRequestScope();
    SXRequestScope(const SXRequestScope&) = delete;
    SXRequestScope& operator=(const SXRequestScope&) = delete;

    // The display of the innermost scope open on this thread, or null.
    static _XDisplay* Innermost();

  private:
    _XDisplay* display; // a host's, locked
    _XDisplay* outer;
    unsigned long first = 0;
};

} // namespace zell::gui
