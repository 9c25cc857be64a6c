// WMI through COM: locator, services proxy, enumerators and property reads.
#include "platform/win32/wmi.h"

#include <string>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {
namespace {

std::wstring FromBstr(BSTR b) {
  return b == nullptr ? std::wstring() : std::wstring(b, ::SysStringLen(b));
}

bool IsIntegerType(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

WmiValue::Kind KindOf(VARTYPE vt) {
  if (vt == VT_NULL || vt == VT_EMPTY) return WmiValue::Kind::Null;
  if (vt == VT_BSTR) return WmiValue::Kind::Text;
  if (IsIntegerType(vt)) return WmiValue::Kind::Integer;
  if (vt == (VT_ARRAY | VT_UI1)) return WmiValue::Kind::Bytes;
  return WmiValue::Kind::Other;
}

// The value as a 64-bit number, converted by the system as it converts any variant.
std::optional<int64_t> AsInteger(VARIANT* value) {
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), value, 0, VT_I8))) {
    // Unsigned 64-bit values above the signed range keep their bits.
    if (FAILED(::VariantChangeType(number.get(), value, 0, VT_UI8))) return std::nullopt;
    return static_cast<int64_t>(number.get()->ullVal);
  }
  return number.get()->llVal;
}

std::vector<uint8_t> CopyBytes(SAFEARRAY* array) {
  std::vector<uint8_t> bytes;
  if (array == nullptr || ::SafeArrayGetDim(array) != 1) return bytes;
  LONG lower = 0;
  LONG upper = -1;
  if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(::SafeArrayGetUBound(array, 1, &upper)) || upper < lower) {
    return bytes;
  }
  void* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, &data))) return bytes;
  const auto* first = static_cast<const uint8_t*>(data);
  bytes.assign(first, first + (static_cast<size_t>(upper) - static_cast<size_t>(lower) + 1));
  ::SafeArrayUnaccessData(array);
  return bytes;
}

// Wraps what a call handed out. A call that reports success without handing out an
// interface is turned into E_POINTER, so the engine never holds an empty wrapper.
template <typename Wrapper, typename Interface, typename Base>
int32_t Hand(HRESULT hr, ComPtr<Interface> p, std::unique_ptr<Base>& out) {
  if (FAILED(hr)) return hr;
  if (!p) return E_POINTER;
  out = std::make_unique<Wrapper>(std::move(p));
  return hr;
}

class Win32WmiObject final : public WmiObject {
 public:
  explicit Win32WmiObject(ComPtr<IWbemClassObject> object) : m_object(std::move(object)) {}

  WmiValue Get(const std::wstring& name) override {
    WmiValue result;
    Bstr bname(name);
    Variant value;
    if (FAILED(m_object->Get(bname.get(), 0, value.get(), nullptr, nullptr))) return result;
    result.kind = KindOf(value.type());
    // Text is what the system's own conversion gives; it fails for a null value.
    Variant text;
    if (SUCCEEDED(::VariantChangeType(text.get(), value.get(), 0, VT_BSTR)) &&
        text.type() == VT_BSTR) {
      result.text = FromBstr(text.get()->bstrVal);
    }
    if (result.kind == WmiValue::Kind::Integer || result.kind == WmiValue::Kind::Text) {
      result.integer = AsInteger(value.get());
    }
    if (result.kind == WmiValue::Kind::Bytes) result.bytes = CopyBytes(value.get()->parray);
    return result;
  }

 private:
  ComPtr<IWbemClassObject> m_object;
};

class Win32WmiEnumerator final : public WmiEnumerator {
 public:
  explicit Win32WmiEnumerator(ComPtr<IEnumWbemClassObject> e) : m_enum(std::move(e)) {}

  Result Next(uint32_t timeoutMs) override {
    Result result;
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    result.hr = m_enum->Next(static_cast<LONG>(timeoutMs), 1, object.put(), &returned);
    if (returned == 1 && object) {
      result.object = std::make_unique<Win32WmiObject>(std::move(object));
    }
    return result;
  }

 private:
  ComPtr<IEnumWbemClassObject> m_enum;
};

class Win32WmiServices final : public WmiServices {
 public:
  explicit Win32WmiServices(ComPtr<IWbemServices> s) : m_services(std::move(s)) {}

  int32_t SetProxyBlanket() override {
    return ::CoSetProxyBlanket(m_services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                               EOAC_NONE);
  }

  int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) override {
    out.reset();
    Bstr language(L"WQL");
    Bstr query(wql);
    ComPtr<IEnumWbemClassObject> e;
    HRESULT hr = m_services->ExecQuery(language.get(), query.get(), 0, nullptr, e.put());
    return Hand<Win32WmiEnumerator>(hr, std::move(e), out);
  }

  int32_t CreateInstanceEnum(const std::wstring& className,
                             std::unique_ptr<WmiEnumerator>& out) override {
    out.reset();
    Bstr name(className);
    ComPtr<IEnumWbemClassObject> e;
    HRESULT hr = m_services->CreateInstanceEnum(name.get(), 0, nullptr, e.put());
    return Hand<Win32WmiEnumerator>(hr, std::move(e), out);
  }

 private:
  ComPtr<IWbemServices> m_services;
};

class Win32WmiLocator final : public WmiLocator {
 public:
  explicit Win32WmiLocator(ComPtr<IWbemLocator> l) : m_locator(std::move(l)) {}

  int32_t ConnectServer(const std::wstring& ns, std::unique_ptr<WmiServices>& out) override {
    out.reset();
    Bstr bns(ns);
    ComPtr<IWbemServices> services;
    HRESULT hr = m_locator->ConnectServer(bns.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                          services.put());
    return Hand<Win32WmiServices>(hr, std::move(services), out);
  }

 private:
  ComPtr<IWbemLocator> m_locator;
};

}  // namespace

int32_t CreateWmiLocator(uint32_t classContext, std::unique_ptr<WmiLocator>& out) {
  out.reset();
  ComPtr<IWbemLocator> locator;
  HRESULT hr = ::CoCreateInstance(CLSID_WbemLocator, nullptr, classContext, IID_IWbemLocator,
                                  reinterpret_cast<void**>(locator.put()));
  return Hand<Win32WmiLocator>(hr, std::move(locator), out);
}

}  // namespace quorvane::win32
