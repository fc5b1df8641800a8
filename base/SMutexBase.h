#pragma once

namespace zell::threading {

// A lock the toolkit can hold through a base pointer.
class SMutexBase {
  public:
    SMutexBase() = default;
    virtual ~SMutexBase() = default;
    SMutexBase(const SMutexBase&) = delete;
    SMutexBase& operator=(const SMutexBase&) = delete;

    virtual int Lock() = 0;
    virtual int Unlock() = 0;
};

} // namespace zell::threading
