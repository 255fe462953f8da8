// GetKeyValue over the real registry: values of every kind written with RegSetValueExA into
// HKEY_LOCAL_MACHINE of the test prefix, read back through RegOpenKeyExA and RegQueryValueExA.
#include <gtest/gtest.h>

#include "TestRegistry.h"
#include "platform/Error.h"
#include "platform/win32/Win32Registry.h"
#include "windows/info/SysInfo.h"

namespace brindlework {
namespace {

using testing::DwordBytes;
using testing::TemporaryKey;

Text Ascii(const std::string& text) { return Text(text.begin(), text.end()); }

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

TEST_F(RegistryTest, StringsLoseExactlyOneFinalNul) {
  key.Set("none", REG_SZ, "C:\\a b\\x.exe");
  key.Set("one", REG_SZ, std::string("C:\\a b\\x.exe\0", 13));
  key.Set("two", REG_SZ, std::string("C:\\a b\\x.exe\0\0", 14));
  Text keyVal;
  EXPECT_TRUE(Read("none", keyVal));
  EXPECT_EQ(keyVal, u"C:\\a b\\x.exe");
  EXPECT_TRUE(Read("one", keyVal));
  EXPECT_EQ(keyVal, u"C:\\a b\\x.exe");
  EXPECT_TRUE(Read("two", keyVal));
  EXPECT_EQ(keyVal, Text(u"C:\\a b\\x.exe\0", 13));
}

TEST_F(RegistryTest, AnEmptyValueIsAnError) {
  key.Set("empty", REG_SZ, "");
  Text keyVal;
  EXPECT_THROW(Read("empty", keyVal), Error);
}

TEST_F(RegistryTest, NumbersAreDecimalAndUnsigned) {
  key.Set("big", REG_DWORD, DwordBytes(32768));
  key.Set("small", REG_DWORD, DwordBytes(5));
  key.Set("top", REG_DWORD, DwordBytes(0x80000000));
  Text keyVal;
  EXPECT_TRUE(Read("big", keyVal));
  EXPECT_EQ(keyVal, u"32768");
  EXPECT_TRUE(Read("small", keyVal));
  EXPECT_EQ(keyVal, u"5");
  EXPECT_TRUE(Read("top", keyVal));
  EXPECT_EQ(keyVal, u"2147483648");
}

TEST_F(RegistryTest, AnExpandableStringIsFoundAndLeavesTheTextAsItWas) {
  key.Set("expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\system32\\msinfo32.exe\0", 36));
  Text keyVal;
  EXPECT_TRUE(Read("expand", keyVal));
  EXPECT_EQ(keyVal, u"before");
}

TEST_F(RegistryTest, DataOver1024BytesIsNotFound) {
  key.Set("fits", REG_SZ, std::string(1023, 'a') + '\0');
  key.Set("over", REG_SZ, std::string(1024, 'a') + '\0');
  Text keyVal;
  EXPECT_TRUE(Read("fits", keyVal));
  EXPECT_EQ(keyVal, Text(1023, u'a'));
  EXPECT_FALSE(Read("over", keyVal));
  EXPECT_EQ(keyVal, u"");
}

TEST_F(RegistryTest, AMissingKeyOrValueEmptiesTheText) {
  Text keyVal;
  EXPECT_FALSE(Read("missing", keyVal));
  EXPECT_EQ(keyVal, u"");
  keyVal = u"before";
  EXPECT_FALSE(GetKeyValue(registry, kLocalMachine, Ascii(key.Path()) + u"\\none", u"v", keyVal));
  EXPECT_EQ(keyVal, u"");
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
