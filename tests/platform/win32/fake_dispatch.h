#pragma once

#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <cwchar>
#include <ostream>
#include <string>
#include <vector>

namespace tolvaris::testing {

// One Invoke as the fake saw it: the arguments in rgvarg order (last argument first), each as
// "TYPE:value", and the named argument ids.
struct Invocation {
  std::wstring member;
  WORD kind = 0;
  std::vector<std::wstring> arguments;
  std::vector<DISPID> named;

  friend bool operator==(const Invocation&, const Invocation&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Invocation& call) {
    out << "kind " << call.kind << " (";
    for (const std::wstring& argument : call.arguments) {
      for (wchar_t c : argument) out << (c < 128 ? static_cast<char>(c) : '#');
      out << ' ';
    }
    return out << ") named " << call.named.size();
  }
};

std::wstring DescribeVariant(const VARIANT& value);

// An Automation object whose members exist only in the kinds given (DISPATCH_METHOD, ...):
// asked for another kind it answers DISP_E_MEMBERNOTFOUND, as type-library dispatch does.
class FakeDispatch final : public IDispatch {
 public:
  struct Member {
    std::wstring name;
    WORD kinds = 0;
    HRESULT outcome = S_OK;  // what a call of a matching kind returns
  };

  explicit FakeDispatch(std::vector<Member> members);
  ~FakeDispatch();

  // Every later call of a matching kind gives this result (copied).
  void SetResult(const VARIANT& result);
  const std::vector<Invocation>& Invocations() const { return invocations_; }
  ULONG References() const { return references_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // owned by the test
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

 private:
  std::vector<Member> members_;
  std::vector<Invocation> invocations_;
  VARIANT result_;
  ULONG references_ = 1;
};

}  // namespace tolvaris::testing
