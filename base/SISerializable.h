#pragma once

namespace zell::object {

// The polymorphic base of storable objects. As an archive block it records its size in bytes
// and an id (-1 for none).
class SISerializable {
  public:
    SISerializable() = default;
    explicit SISerializable(int size, int id = -1) : size(size), id(id) {}
    SISerializable(const SISerializable&) = default;
    SISerializable& operator=(const SISerializable&) = default;
    virtual ~SISerializable() = default;

    virtual void Serialize(const char*) {}
    virtual void Deserialize(const char*) {}
    virtual int Size() const { return size; }
    int Id() const { return id; }

  private:
    int size = 0;
    int id = -1;
};

} // namespace zell::object
