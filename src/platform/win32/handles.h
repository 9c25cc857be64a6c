// Owning holders for Windows handles, COM interface pointers, BSTRs and VARIANTs.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "platform/win32/windows_api.h"

namespace quorvane::win32 {

// A kernel handle closed with CloseHandle; INVALID_HANDLE_VALUE and null hold nothing.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : m_h(h) {}
  ~Handle() { Reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return m_h; }
  void Reset() {
    if (m_h != nullptr && m_h != INVALID_HANDLE_VALUE) ::CloseHandle(m_h);
    m_h = nullptr;
  }

 private:
  HANDLE m_h = nullptr;
};

// A FindFirstFileW search handle, closed with FindClose.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : m_h(h) {}
  ~FindHandle() {
    if (valid()) ::FindClose(m_h);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return m_h != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_h;
};

// A COM interface pointer released on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      m_p = std::exchange(other.m_p, nullptr);
    }
    return *this;
  }
  T* get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    Reset();
    return &m_p;
  }
  void Reset() {
    if (m_p != nullptr) m_p->Release();
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;
};

// A BSTR made from a string and freed with SysFreeString.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : m_b(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (m_b == nullptr) throw std::bad_alloc();
  }
  ~Bstr() { ::SysFreeString(m_b); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return m_b; }

 private:
  BSTR m_b;
};

// A VARIANT initialised empty and cleared on destruction.
class Variant {
 public:
  Variant() { ::VariantInit(&m_v); }
  ~Variant() { ::VariantClear(&m_v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &m_v; }
  const VARIANT* get() const { return &m_v; }
  VARTYPE type() const { return m_v.vt; }

 private:
  VARIANT m_v;
};

}  // namespace quorvane::win32
