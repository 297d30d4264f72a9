#include "platform/win32/fake_dispatch.h"

#include <cstdio>

namespace tolvaris::testing {

std::wstring DescribeVariant(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
      return L"EMPTY";
    case VT_I4:
      return L"I4:" + std::to_wstring(V_I4(&value));
    case VT_BOOL:
      return L"BOOL:" + std::to_wstring(V_BOOL(&value));
    case VT_BSTR:
      return L"BSTR:" + std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    case VT_ARRAY | VT_UI1: {
      std::wstring text = L"UI1[]:";
      SAFEARRAY* array = V_ARRAY(&value);
      LONG lower = 0;
      LONG upper = -1;
      SafeArrayGetLBound(array, 1, &lower);
      SafeArrayGetUBound(array, 1, &upper);
      for (LONG index = lower; index <= upper; ++index) {
        unsigned char byte = 0;
        SafeArrayGetElement(array, &index, &byte);
        wchar_t hex[4];
        std::swprintf(hex, 4, L"%02x", byte);
        text += (index == lower ? L"" : L" ") + std::wstring(hex);
      }
      return text;
    }
    default:
      return L"VT:" + std::to_wstring(V_VT(&value));
  }
}

FakeDispatch::FakeDispatch(std::vector<Member> members) : members_(std::move(members)) {
  VariantInit(&result_);
}

FakeDispatch::~FakeDispatch() { VariantClear(&result_); }

void FakeDispatch::SetResult(const VARIANT& result) {
  VariantClear(&result_);
  VariantCopy(&result_, const_cast<VARIANT*>(&result));
}

HRESULT FakeDispatch::QueryInterface(REFIID id, void** object) {
  if (id == IID_IUnknown || id == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (count != 1) return E_INVALIDARG;
  for (size_t index = 0; index < members_.size(); ++index) {
    if (_wcsicmp(members_[index].name.c_str(), names[0]) == 0) {
      ids[0] = static_cast<DISPID>(index + 1);
      return S_OK;
    }
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT FakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters,
                             VARIANT* result, EXCEPINFO* exception, UINT*) {
  if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const Member& member = members_[static_cast<size_t>(id) - 1];
  Invocation call{member.name, kind, {}, {}};
  for (UINT index = 0; index < parameters->cArgs; ++index) {
    call.arguments.push_back(DescribeVariant(parameters->rgvarg[index]));
  }
  for (UINT index = 0; index < parameters->cNamedArgs; ++index) {
    call.named.push_back(parameters->rgdispidNamedArgs[index]);
  }
  invocations_.push_back(call);

  if ((member.kinds & kind) == 0) return DISP_E_MEMBERNOTFOUND;
  if (FAILED(member.outcome)) {
    if (member.outcome == DISP_E_EXCEPTION && exception != nullptr) {
      exception->bstrDescription = SysAllocString(L"the member failed");
      exception->scode = E_FAIL;
    }
    return member.outcome;
  }
  if (result != nullptr) VariantCopy(result, &result_);
  return member.outcome;
}

}  // namespace tolvaris::testing
