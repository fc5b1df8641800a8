// The C++ runtime linked into the shared object keeps an emergency pool for exceptions thrown
// while memory runs out (about 70 KB, allocated when the object loads) and never frees it: a
// host that loads and unloads the plugin again and again would lose it every time.
// NOLINTBEGIN(bugprone-reserved-identifier): the C++ runtime's own names.
namespace __gnu_cxx {
void __freeres();
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

// Destructors of lower priority run later: this one after every other of the object.
__attribute__((destructor(101))) void ReleaseLinkedRuntime() {
    __gnu_cxx::__freeres();
}

} // namespace
