#pragma once
// C++ helpers over the component object interface: owning pointers for strings and interface
// references, GUID text, UTF-16 views and the thread's error information.

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/com_abi.h"

namespace nivra::com {

struct BstrFree {
  void operator()(OLECHAR* text) const { SysFreeString(text); }
};
using BstrPtr = std::unique_ptr<OLECHAR, BstrFree>;

// A new string (NULL for an empty text, as hosts treat both alike only when told so: use
// makeBstr for a non-NULL empty string).
BSTR makeBstr(std::u16string_view text);
// The characters of a string; empty for NULL.
std::u16string_view bstrView(const OLECHAR* text);
// The characters of a zero-terminated 16-bit string; empty for NULL.
std::u16string_view oleView(const OLECHAR* text);

// "{7E27DAB6-C296-4561-A275-FFB7F34F35D7}": upper-case hex with braces.
std::string guidText(const GUID& guid);

// A reference to an interface that is released on destruction.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* adopted) : p_(adopted) {}
  ComPtr(const ComPtr& other) : p_(other.p_) { addRef(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { reset(); }

  // Holds `p` with a reference of its own.
  static ComPtr share(T* p) {
    ComPtr r(p);
    r.addRef();
    return r;
  }
  void reset() {
    if (p_) reinterpret_cast<IUnknown*>(p_)->lpVtbl->Release(reinterpret_cast<IUnknown*>(p_));
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // The out pointer of a call that returns a new reference.
  T** put() {
    reset();
    return &p_;
  }
  // Hands the reference over to the caller.
  T* release() { return std::exchange(p_, nullptr); }

 private:
  void addRef() {
    if (p_) reinterpret_cast<IUnknown*>(p_)->lpVtbl->AddRef(reinterpret_cast<IUnknown*>(p_));
  }
  T* p_ = nullptr;
};

// Queries `object` (any interface) for `iid`; empty when it does not answer.
template <class T, class U>
ComPtr<T> queryInterface(U* object, const IID& iid) {
  ComPtr<T> result;
  if (!object) return result;
  auto* unknown = reinterpret_cast<IUnknown*>(object);
  unknown->lpVtbl->QueryInterface(unknown, &iid, reinterpret_cast<void**>(result.put()));
  return result;
}

// Sets the calling thread's error information: a description, the source and the interface
// that raised it.
void setErrorDescription(std::u16string_view description, std::u16string_view source,
                         const IID& iid);

}  // namespace nivra::com
