// A table of fixed capacity whose records are made when first written: the run's partition table
// holds room for thousands of records, and a notebook fills a handful.
#pragma once

#include <cstddef>
#include <new>
#include <span>
#include <stdexcept>

namespace quorvane {

// Every one of the N records reads as a new T until it is first written. Indexing is checked on
// every build: nothing is read or written past the table's end. Iteration visits the records
// made so far, in order; every record after them is a new T.
template <typename T, size_t N>
class RecordTable {
 public:
  RecordTable() = default;
  RecordTable(const RecordTable&) = delete;
  RecordTable& operator=(const RecordTable&) = delete;
  ~RecordTable() {
    for (size_t i = made_; i-- > 0;) Slot(i)->~T();
  }

  static constexpr size_t size() { return N; }

  // Record i, made (with those before it) when it is first reached for writing.
  T& operator[](size_t i) {
    Check(i);
    for (; made_ <= i; ++made_) new (storage_ + made_ * sizeof(T)) T();
    return *Slot(i);
  }
  const T& operator[](size_t i) const {
    Check(i);
    return i < made_ ? *Slot(i) : Blank();
  }

  // The records made so far; each one after them is a new T.
  std::span<T> Made() { return {Base(), made_}; }
  std::span<const T> Made() const { return {Base(), made_}; }
  T* begin() { return Base(); }
  T* end() { return Base() + made_; }
  const T* begin() const { return Base(); }
  const T* end() const { return Base() + made_; }

 private:
  static void Check(size_t i) {
    if (i >= N) throw std::out_of_range("record table index past its end");
  }
  static const T& Blank() {
    static const T blank{};
    return blank;
  }
  T* Base() { return reinterpret_cast<T*>(storage_); }
  const T* Base() const { return reinterpret_cast<const T*>(storage_); }
  T* Slot(size_t i) { return std::launder(Base() + i); }
  const T* Slot(size_t i) const { return std::launder(Base() + i); }

  size_t made_ = 0;
  alignas(T) unsigned char storage_[N * sizeof(T)];
};

}  // namespace quorvane
