#include "platform/win32/dispatch_object.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/gbk_literals.h"
#include "platform/win32/fake_dispatch.h"

namespace tolvaris {
namespace {

using testing::FakeDispatch;
using testing::Invocation;

constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;

std::vector<WORD> KindsTried(const FakeDispatch& fake) {
  std::vector<WORD> kinds;
  for (const Invocation& call : fake.Invocations()) kinds.push_back(call.kind);
  return kinds;
}

TEST(DispatchObjectTest, PassesArgumentsInReverseOrderAsAutomationValues) {
  FakeDispatch fake({{L"Open", kMethod}});
  DispatchObject object(&fake);
  const ByteArray bytes(std::vector<uint8_t>{0x00, 0xFF, 0x61});

  ASSERT_TRUE(object.CallMethod(L"Open", {Text(gbk::kSyncNowCaption), 15000, true, false, bytes}));

  ASSERT_EQ(fake.Invocations().size(), 1u);
  const Invocation expected{
      L"Open",
      kMethod,
      {L"UI1[]:00 ff 61", L"BOOL:0", L"BOOL:-1", L"I4:15000", L"BSTR:立即同步"},
      {}};
  EXPECT_EQ(fake.Invocations()[0], expected);
}

TEST(DispatchObjectTest, AnEmptyTextAndEmptyBytesAreStillPassed) {
  FakeDispatch fake({{L"Send", kMethod}});
  DispatchObject object(&fake);
  ASSERT_TRUE(object.CallMethod(L"Send", {Text()}));
  ASSERT_TRUE(object.CallMethod(L"Send", {ByteArray()}));
  ASSERT_EQ(fake.Invocations().size(), 2u);
  EXPECT_EQ(fake.Invocations()[0].arguments, std::vector<std::wstring>{L"BSTR:"});
  EXPECT_EQ(fake.Invocations()[1].arguments, std::vector<std::wstring>{L"UI1[]:"});
}

TEST(DispatchObjectTest, APropertyWriteNamesItsValueAsThePutArgument) {
  FakeDispatch fake({{L"Option", kPut}});
  DispatchObject object(&fake);
  ASSERT_TRUE(object.PutProperty(L"Option", {6}, 0));
  const Invocation expected{L"Option", kPut, {L"I4:0", L"I4:6"}, {DISPID_PROPERTYPUT}};
  ASSERT_EQ(fake.Invocations().size(), 1u);
  EXPECT_EQ(fake.Invocations()[0], expected);
}

// Each kind the member does not have is answered DISP_E_MEMBERNOTFOUND and the next is tried.
TEST(DispatchObjectTest, BindsEachKindOfCallInItsOrder) {
  using Call = std::function<bool(DispatchObject&)>;
  const Call callMethod = [](DispatchObject& o) { return o.CallMethod(L"Member", {1}); };
  const Call callWithoutArguments = [](DispatchObject& o) { return o.CallMethod(L"Member", {}); };
  const Call putProperty = [](DispatchObject& o) { return o.PutProperty(L"Member", {4}, 1); };
  const Call readText = [](DispatchObject& o) { return !o.ReadText(L"Member").IsEmpty(); };
  struct Case {
    const char* what;
    Call call;
    WORD memberKinds;
    std::vector<WORD> expectedKinds;
    bool succeeds;
  };
  const Case cases[] = {
      {"method call of a method", callMethod, kMethod, {kMethod}, true},
      {"method call of a property", callMethod, kGet, {kMethod, kGet}, true},
      {"method call of a write-only property", callMethod, kPut, {kMethod, kGet, kPut}, true},
      {"method call of a by-reference property",
       callMethod,
       kPutRef,
       {kMethod, kGet, kPut, kPutRef},
       true},
      {"method call of nothing that fits", callMethod, 0, {kMethod, kGet, kPut, kPutRef}, false},
      {"a write needs a value to write", callWithoutArguments, kPut, {kMethod, kGet}, false},
      {"property write of a property", putProperty, kPut, {kPut}, true},
      {"property write by reference", putProperty, kPutRef, {kPut, kPutRef}, true},
      {"property write of a method", putProperty, kMethod, {kPut, kPutRef, kMethod}, true},
      {"property read of a property", readText, kGet, {kGet}, true},
      {"property read of a method", readText, kMethod, {kGet, kMethod}, true},
      {"property read of a write-only property", readText, kPut, {kGet, kMethod}, false},
  };
  for (const Case& c : cases) {
    FakeDispatch fake({{L"Member", c.memberKinds}});
    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_I4;
    V_I4(&result) = 7;
    fake.SetResult(result);
    DispatchObject object(&fake);
    EXPECT_EQ(c.call(object), c.succeeds) << c.what;
    EXPECT_EQ(KindsTried(fake), c.expectedKinds) << c.what;
  }
}

TEST(DispatchObjectTest, AWriteFallingBackToAMethodPassesEveryArgumentByPosition) {
  FakeDispatch fake({{L"Option", kMethod}});
  DispatchObject object(&fake);
  ASSERT_TRUE(object.PutProperty(L"Option", {4}, 0x3300));
  ASSERT_EQ(fake.Invocations().size(), 3u);
  const Invocation expected{L"Option", kMethod, {L"I4:13056", L"I4:4"}, {}};
  EXPECT_EQ(fake.Invocations()[2], expected);
}

// A member that exists but fails has run: trying it as another kind could repeat its effect.
TEST(DispatchObjectTest, AFailingMemberIsNotTriedAgainAsAnotherKind) {
  for (HRESULT failure : {E_NOTIMPL, DISP_E_EXCEPTION, E_FAIL, DISP_E_TYPEMISMATCH}) {
    FakeDispatch fake({{L"Send", kMethod | kGet, failure}});
    DispatchObject object(&fake);
    EXPECT_FALSE(object.CallMethod(L"Send", {Text("body")})) << std::hex << failure;
    EXPECT_EQ(KindsTried(fake), std::vector<WORD>{kMethod}) << std::hex << failure;
    EXPECT_EQ(object.ReadText(L"Send"), Text());
    EXPECT_EQ(object.ReadNumber(L"Send"), 0.0);
    EXPECT_EQ(object.ReadBytes(L"Send"), ByteArray());
  }
}

TEST(DispatchObjectTest, AnUnknownMemberIsNeverInvoked) {
  FakeDispatch fake({{L"Open", kMethod}});
  DispatchObject object(&fake);
  EXPECT_FALSE(object.CallMethod(L"Opened", {1}));
  EXPECT_FALSE(object.PutProperty(L"Opened", {1}, 2));
  EXPECT_EQ(object.ReadText(L"Opened"), Text());
  EXPECT_TRUE(fake.Invocations().empty());
}

TEST(DispatchObjectTest, AnEmptyObjectFailsEveryCall) {
  DispatchObject empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.CallMethod(L"Open", {Text("GET")}));
  EXPECT_FALSE(empty.PutProperty(L"Option", {6}, 0));
  EXPECT_EQ(empty.ReadText(L"GetAllResponseHeaders"), Text());
  EXPECT_EQ(empty.ReadNumber(L"Status"), 0.0);
  EXPECT_EQ(empty.ReadBytes(L"ResponseBody"), ByteArray());
}

SAFEARRAY* ArrayOf(VARTYPE type, const std::vector<uint8_t>& raw, ULONG elements) {
  SAFEARRAY* array = SafeArrayCreateVector(type, 0, elements);
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  std::memcpy(data, raw.data(), raw.size());
  SafeArrayUnaccessData(array);
  return array;
}

struct ReadCase {
  const char* what;
  std::function<void(VARIANT&)> make;
  // What the system's own conversion makes of a byte array as text is not ours to pin.
  std::optional<Text> text;
  double number;
  ByteArray bytes;
};

TEST(DispatchObjectTest, ReadsConvertTheResultOrGiveTheEmptyValue) {
  const ReadCase cases[] = {
      {"text cut at its first zero character",
       [](VARIANT& v) {
         V_VT(&v) = VT_BSTR;
         V_BSTR(&v) = SysAllocStringLen(L"时间\0Date", 7);
       },
       Text("\xCA\xB1\xBC\xE4"), 0.0, ByteArray()},
      {"a number as text",
       [](VARIANT& v) {
         V_VT(&v) = VT_BSTR;
         V_BSTR(&v) = SysAllocString(L"404");
       },
       Text("404"), 404.0, ByteArray()},
      {"an integer",
       [](VARIANT& v) {
         V_VT(&v) = VT_I4;
         V_I4(&v) = 200;
       },
       Text("200"), 200.0, ByteArray()},
      {"a real",
       [](VARIANT& v) {
         V_VT(&v) = VT_R8;
         V_R8(&v) = 301.75;
       },
       Text("301.75"), 301.75, ByteArray()},
      {"bytes, zero included",
       [](VARIANT& v) {
         V_VT(&v) = VT_ARRAY | VT_UI1;
         V_ARRAY(&v) = ArrayOf(VT_UI1, {0x00, 0x01, 0xFF}, 3);
       },
       std::nullopt, 0.0, ByteArray(std::vector<uint8_t>{0x00, 0x01, 0xFF})},
      {"signed one-byte elements are bytes too",
       [](VARIANT& v) {
         V_VT(&v) = VT_ARRAY | VT_I1;
         V_ARRAY(&v) = ArrayOf(VT_I1, {0x80, 0x7F}, 2);
       },
       std::nullopt, 0.0, ByteArray(std::vector<uint8_t>{0x80, 0x7F})},
      {"four-byte elements are no bytes",
       [](VARIANT& v) {
         V_VT(&v) = VT_ARRAY | VT_I4;
         V_ARRAY(&v) = ArrayOf(VT_I4, {1, 0, 0, 0}, 1);
       },
       std::nullopt, 0.0, ByteArray()},
      {"nothing", [](VARIANT&) {}, Text(), 0.0, ByteArray()},
  };
  for (const ReadCase& c : cases) {
    FakeDispatch fake({{L"Value", kGet}});
    VARIANT value;
    VariantInit(&value);
    c.make(value);
    fake.SetResult(value);
    VariantClear(&value);
    DispatchObject object(&fake);
    if (c.text) {
      EXPECT_EQ(object.ReadText(L"Value"), *c.text) << c.what;
    }
    EXPECT_EQ(object.ReadNumber(L"Value"), c.number) << c.what;
    EXPECT_EQ(object.ReadBytes(L"Value"), c.bytes) << c.what;
  }
}

TEST(DispatchObjectTest, CopiesShareTheObjectAndTheLastOneReleasesIt) {
  FakeDispatch fake({{L"Open", kMethod}});
  {
    DispatchObject first(&fake);
    EXPECT_EQ(fake.References(), 2u);
    DispatchObject second = first;
    EXPECT_EQ(fake.References(), 3u);
    DispatchObject third = std::move(second);
    EXPECT_EQ(fake.References(), 3u);
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_TRUE(third.CallMethod(L"Open", {}));
    first = DispatchObject();
    EXPECT_EQ(fake.References(), 2u);
  }
  EXPECT_EQ(fake.References(), 1u);
}

}  // namespace
}  // namespace tolvaris
