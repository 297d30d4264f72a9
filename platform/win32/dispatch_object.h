#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <variant>

#include "core/bytes.h"
#include "core/text.h"

namespace tolvaris {

// What the program passes to an Automation member: a text (a UTF-16 string made through the
// ANSI code page), a 32-bit integer, an Automation boolean (true is -1), or bytes (a
// one-dimensional array of unsigned bytes).
using DispatchArgument = std::variant<Text, int32_t, bool, ByteArray>;

// A counted reference to an Automation object, called by member name through IDispatch (late
// binding). Every call may fail: a failed call has no effect and reports false, a failed read
// gives the empty text, 0 or no bytes. An empty object fails every call. Use it on the thread
// whose COM initialisation created it.
class DispatchObject {
 public:
  DispatchObject() = default;
  // Takes a reference of its own to dispatch (which may be null).
  explicit DispatchObject(IDispatch* dispatch);
  DispatchObject(const DispatchObject& other);
  DispatchObject(DispatchObject&& other) noexcept;
  DispatchObject& operator=(DispatchObject other) noexcept;
  ~DispatchObject();

  // CLSIDFromProgID, CoCreateInstance for every class context (again without the remote server
  // when that is refused as an invalid argument), then OleRun. Empty when any step fails.
  static DispatchObject CreateFromProgId(const wchar_t* progId);

  bool IsEmpty() const { return dispatch_ == nullptr; }
  IDispatch* Get() const { return dispatch_; }

  // Binds name as a method, then a property read, a property write, a write by reference.
  bool CallMethod(std::wstring_view name, std::initializer_list<DispatchArgument> arguments);
  // name(indices...) = value; binds as a property write, then by reference, then as a method.
  bool PutProperty(std::wstring_view name, std::initializer_list<DispatchArgument> indices,
                   const DispatchArgument& value);
  // Reads bind as a property read, then as a method.
  Text ReadText(std::wstring_view name);
  double ReadNumber(std::wstring_view name);
  // The bytes of a one-dimensional array of one-byte elements; none for any other value.
  ByteArray ReadBytes(std::wstring_view name);

 private:
  // Tries the bindings in order while the object answers that the member is not of that kind.
  bool Invoke(std::wstring_view name, std::initializer_list<WORD> bindings,
              std::span<const DispatchArgument> arguments, VARIANT* result);

  IDispatch* dispatch_ = nullptr;
};

}  // namespace tolvaris
