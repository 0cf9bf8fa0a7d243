// Shared ownership for bitmaps and views: a new object holds one reference
// (its creator's); each further holder calls remember(), each holder that is
// done calls forget(), and the last forget() deletes the object.
#pragma once

namespace toolkit {

class CReferenceCounter {
 public:
  CReferenceCounter() = default;
  // A copy is a new object with its own single reference.
  CReferenceCounter(const CReferenceCounter&) {}
  CReferenceCounter& operator=(const CReferenceCounter&) { return *this; }
  virtual ~CReferenceCounter() = default;

  void remember() { ++refs_; }
  void forget() {
    if (--refs_ == 0) delete this;
  }
  int getNbReference() const { return refs_; }

 private:
  int refs_ = 1;
};

}  // namespace toolkit
