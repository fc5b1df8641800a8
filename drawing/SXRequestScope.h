// The toolkit's requests on the host's display, made between construction and destruction from
// one thread: the display is locked for that time (so that no request of the host falls in
// between, and in the order of a host that holds its display while it calls the plugin), and
// the errors of those requests never reach the host's handler, whenever they arrive. On our own
// connection, where every error is absorbed anyway, it does nothing. Free of X headers.
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

  private:
    _XDisplay* display;
    unsigned long first = 0;
};

} // namespace zell::gui
