// GetKeyValue over the real registry: values of every kind written with RegSetValueExA into
// HKEY_LOCAL_MACHINE of the test prefix, read back through RegOpenKeyExA and RegQueryValueExA.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestRegistry.h"
#include "TestSupport.h"
#include "platform/Error.h"
#include "platform/win32/Win32Registry.h"
#include "windows/info/SysInfo.h"

namespace brindlework {
namespace {

using testing::DwordBytes;
using testing::TemporaryKey;

// The handles that this process holds. GetProcessHandleCount gives 0 under Wine: there they are
// counted in the system's table of every process's handles.
std::size_t OpenHandles() {
  if (!testing::RunningUnderWine()) {
    DWORD count = 0;
    EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &count));
    return count;
  }
  struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
    ULONG processId;
    BYTE type, flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
  };
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr int kSystemHandleInformation = 16;
  std::vector<ULONG_PTR> table(1 << 14);  // the count, then the entries
  ULONG needed = 0;
  while (query(kSystemHandleInformation, table.data(),
               static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)),
               &needed) == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
    table.resize(std::max<std::size_t>(needed / sizeof(ULONG_PTR), table.size()) * 2);
  }
  const auto* entries = reinterpret_cast<const Entry*>(&table[1]);
  return static_cast<std::size_t>(
      std::count_if(entries, entries + static_cast<ULONG>(table[0]),
                    [](const Entry& e) { return e.processId == GetCurrentProcessId(); }));
}

Text Ascii(const std::string& text) {
  return Text(text.begin(), text.end());
}

class RegistryTest : public ::testing::Test {
 protected:
  // Reads a value of the test key into a text that held "before".
  bool Read(const std::string& name, Text& keyVal) {
    keyVal = u"before";
    return GetKeyValue(registry, kLocalMachine, Ascii(key.Path()), Ascii(name), keyVal);
  }
  TemporaryKey key{"Software\\Brindlework Tests " + std::to_string(GetCurrentProcessId())};
  win32::Win32Registry registry;
};

struct Case {
  const char* name;
  DWORD type;
  std::string data;
  bool found;
  Text keyVal;
};

// What the real ANSI functions give for the shapes of data that the reading rules tell apart
// (the rules themselves are the unit tests'): a string stored without its NUL or with two, a
// number with its top bit set, and a value just too large for the 1024-byte buffer.
TEST_F(RegistryTest, EveryKindOfValueReadsAsItsText) {
  const Case cases[] = {
      {"no NUL", REG_SZ, "C:\\a b\\x.exe", true, u"C:\\a b\\x.exe"},
      {"two NULs", REG_SZ, std::string("C:\\a b\\x.exe\0\0", 14), true,
       Text(u"C:\\a b\\x.exe\0", 13)},
      {"top bit", REG_DWORD, DwordBytes(0x80000000), true, u"2147483648"},
      {"1025 bytes", REG_SZ, std::string(1024, 'a') + '\0', false, u""},
  };
  for (const Case& value : cases) {
    SCOPED_TRACE(value.name);
    key.Set(value.name, value.type, value.data);
    Text keyVal;
    EXPECT_EQ(Read(value.name, keyVal), value.found);
    EXPECT_EQ(keyVal, value.keyVal);
  }
}

TEST_F(RegistryTest, AnEmptyValueIsAnErrorAndAMissingKeyOrValueEmptiesTheText) {
  key.Set("empty", REG_SZ, "");
  Text keyVal;
  EXPECT_THROW(Read("empty", keyVal), Error);
  EXPECT_FALSE(Read("missing", keyVal));
  EXPECT_EQ(keyVal, u"");
  keyVal = u"before";
  EXPECT_FALSE(GetKeyValue(registry, kLocalMachine, Ascii(key.Path()) + u"\\none", u"v", keyVal));
  EXPECT_EQ(keyVal, u"");
}

// The count is the whole process's: COM and shell threads of earlier tests open and close handles
// of their own meanwhile. So each count is the least of a few, and it must not grow over the reads.
std::size_t FewestOpenHandles() {
  std::size_t fewest = OpenHandles();
  for (int i = 0; i < 4; ++i) {
    Sleep(20);
    fewest = std::min(fewest, OpenHandles());
  }
  return fewest;
}

TEST_F(RegistryTest, EveryKeyThatAReadOpensIsClosed) {
  key.Set("PATH", REG_SZ, "C:\\x.exe");
  Text keyVal;
  ASSERT_TRUE(Read("PATH", keyVal));  // the first read may load what stays loaded
  const std::size_t before = FewestOpenHandles();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 50; ++i) Read("PATH", keyVal);
  EXPECT_LE(FewestOpenHandles(), before);
}

// Users without administrator rights may only read the tool's keys: asking for more would fail.
TEST_F(RegistryTest, AKeyThatOnlyGrantsReadingCanBeRead) {
  key.Set("PATH", REG_SZ, std::string("C:\\x.exe\0", 9));
  key.AllowOnlyReading();
  HKEY full = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.Path().c_str(), 0, 0x2003F, &full),
            ERROR_ACCESS_DENIED);
  Text keyVal;
  EXPECT_TRUE(Read("PATH", keyVal));
  EXPECT_EQ(keyVal, u"C:\\x.exe");
}

}  // namespace
}  // namespace brindlework
