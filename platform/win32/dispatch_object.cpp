#include "platform/win32/dispatch_object.h"

#include <ole2.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/ansi_text.h"

namespace tolvaris {
namespace {

// Owns the VARIANTs handed to Invoke, in the reverse order IDispatch expects.
class ArgumentList {
 public:
  explicit ArgumentList(size_t count) : variants_(count) {
    for (VARIANT& variant : variants_) VariantInit(&variant);
  }
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  ~ArgumentList() {
    for (VARIANT& variant : variants_) VariantClear(&variant);
  }

  VARIANT* Data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT Count() const { return static_cast<UINT>(variants_.size()); }
  VARIANT& FromEnd(size_t position) { return variants_[variants_.size() - 1 - position]; }

 private:
  std::vector<VARIANT> variants_;
};

bool ToVariant(const DispatchArgument& argument, VARIANT& variant) {
  if (const Text* text = std::get_if<Text>(&argument)) {
    const std::wstring wide = AnsiToWide(*text);
    BSTR string = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (string == nullptr) return false;
    V_VT(&variant) = VT_BSTR;
    V_BSTR(&variant) = string;
    return true;
  }
  if (const int32_t* integer = std::get_if<int32_t>(&argument)) {
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = *integer;
    return true;
  }
  if (const bool* boolean = std::get_if<bool>(&argument)) {
    V_VT(&variant) = VT_BOOL;
    V_BOOL(&variant) = *boolean ? VARIANT_TRUE : VARIANT_FALSE;
    return true;
  }
  const std::vector<uint8_t>& bytes = std::get<ByteArray>(argument).Bytes();
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) return false;
  if (!bytes.empty()) {
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
      SafeArrayDestroy(array);
      return false;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  V_VT(&variant) = VT_ARRAY | VT_UI1;
  V_ARRAY(&variant) = array;
  return true;
}

// Only these say that the member does not exist in the kind just tried; any other failure is
// the member's own, and trying it again as another kind would repeat its effect.
bool IsBindingFailure(HRESULT result) {
  return result == DISP_E_MEMBERNOTFOUND || result == DISP_E_BADPARAMCOUNT;
}

void FreeExceptionInfo(EXCEPINFO& info) {
  if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
}

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }
  VARIANT* Pointer() { return &value_; }
  const VARIANT& Value() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace

DispatchObject::DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {
  if (dispatch_ != nullptr) dispatch_->AddRef();
}

DispatchObject::DispatchObject(const DispatchObject& other) : DispatchObject(other.dispatch_) {}

DispatchObject::DispatchObject(DispatchObject&& other) noexcept
    : dispatch_(std::exchange(other.dispatch_, nullptr)) {}

DispatchObject& DispatchObject::operator=(DispatchObject other) noexcept {
  std::swap(dispatch_, other.dispatch_);
  return *this;
}

DispatchObject::~DispatchObject() {
  if (dispatch_ != nullptr) dispatch_->Release();
}

DispatchObject DispatchObject::CreateFromProgId(const wchar_t* progId) {
  CLSID classId{};
  if (FAILED(CLSIDFromProgID(progId, &classId))) return {};
  IUnknown* unknown = nullptr;
  HRESULT created = CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown));
  if (created == E_INVALIDARG) {
    created = CoCreateInstance(classId, nullptr,
                               CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&unknown));
  }
  if (FAILED(created) || unknown == nullptr) return {};
  IDispatch* dispatch = nullptr;
  if (SUCCEEDED(OleRun(unknown))) {
    unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  }
  unknown->Release();
  DispatchObject object(dispatch);
  if (dispatch != nullptr) dispatch->Release();
  return object;
}

bool DispatchObject::Invoke(std::wstring_view name, std::initializer_list<WORD> bindings,
                            std::span<const DispatchArgument> arguments, VARIANT* result) {
  if (dispatch_ == nullptr) return false;
  std::wstring memberName(name);
  LPOLESTR names[] = {memberName.data()};
  DISPID member = DISPID_UNKNOWN;
  if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member))) {
    return false;
  }

  ArgumentList list(arguments.size());
  for (size_t position = 0; position < arguments.size(); ++position) {
    if (!ToVariant(arguments[position], list.FromEnd(position))) return false;
  }

  DISPID putName = DISPID_PROPERTYPUT;
  for (WORD binding : bindings) {
    const bool isWrite = binding == DISPATCH_PROPERTYPUT || binding == DISPATCH_PROPERTYPUTREF;
    // A write needs its value, the last argument, passed as the named put argument.
    if (isWrite && list.Count() == 0) continue;
    DISPPARAMS parameters{list.Data(), isWrite ? &putName : nullptr, list.Count(),
                          isWrite ? 1u : 0u};
    VARIANT* target = isWrite ? nullptr : result;
    if (target != nullptr) VariantClear(target);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT invoked = dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, binding,
                                              &parameters, target, &exception, &argumentError);
    FreeExceptionInfo(exception);
    if (SUCCEEDED(invoked)) return true;
    if (target != nullptr) VariantClear(target);
    if (!IsBindingFailure(invoked)) return false;
  }
  return false;
}

bool DispatchObject::CallMethod(std::wstring_view name,
                                std::initializer_list<DispatchArgument> arguments) {
  Variant ignored;
  return Invoke(
      name, {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF},
      std::span(arguments.begin(), arguments.size()), ignored.Pointer());
}

bool DispatchObject::PutProperty(std::wstring_view name,
                                 std::initializer_list<DispatchArgument> indices,
                                 const DispatchArgument& value) {
  std::vector<DispatchArgument> arguments(indices);
  arguments.push_back(value);
  Variant ignored;
  return Invoke(name, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD}, arguments,
                ignored.Pointer());
}

Text DispatchObject::ReadText(std::wstring_view name) {
  Variant result;
  if (!Invoke(name, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}, {}, result.Pointer())) return {};
  if (V_VT(&result.Value()) == VT_BSTR) {
    const BSTR string = V_BSTR(&result.Value());
    return WideToAnsi(string, SysStringLen(string));
  }
  Variant converted;
  if (FAILED(VariantChangeType(converted.Pointer(), result.Pointer(), 0, VT_BSTR))) return {};
  const BSTR string = V_BSTR(&converted.Value());
  return WideToAnsi(string, SysStringLen(string));
}

double DispatchObject::ReadNumber(std::wstring_view name) {
  Variant result;
  if (!Invoke(name, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}, {}, result.Pointer())) return 0.0;
  Variant converted;
  if (FAILED(VariantChangeType(converted.Pointer(), result.Pointer(), 0, VT_R8))) return 0.0;
  return V_R8(&converted.Value());
}

ByteArray DispatchObject::ReadBytes(std::wstring_view name) {
  Variant result;
  if (!Invoke(name, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}, {}, result.Pointer())) return {};
  const VARIANT& value = result.Value();
  if ((V_VT(&value) & VT_ARRAY) == 0) return {};
  SAFEARRAY* array = V_ISBYREF(&value) ? *V_ARRAYREF(&value) : V_ARRAY(&value);
  if (array == nullptr || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1) {
    return {};
  }
  LONG lower = 0;
  LONG upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper < lower) {
    return {};
  }
  const size_t count = static_cast<size_t>(static_cast<int64_t>(upper) - lower + 1);
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data),
                             static_cast<const uint8_t*>(data) + count);
  SafeArrayUnaccessData(array);
  return ByteArray(std::move(bytes));
}

}  // namespace tolvaris
