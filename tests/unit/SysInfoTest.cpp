#include <gtest/gtest.h>

#include "FakeProgram.h"
#include "windows/info/SysInfo.h"

namespace brindlework {
namespace {

using testing::FakeMessages;
using testing::FakeProcess;
using testing::FakeRegistry;

const Text kToolKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const Text kFolderKey = u"SOFTWARE\\Microsoft\\Shared Tools Location";
const Text kKey = u"SOFTWARE\\Test";
constexpr std::uint32_t kRegExpandSz = 2;

std::string Dword(std::uint32_t number) {
  return {static_cast<char>(number), static_cast<char>(number >> 8),
          static_cast<char>(number >> 16), static_cast<char>(number >> 24)};
}

class GetKeyValueTest : public ::testing::Test {
 protected:
  // Reads kKey's value "v" into a text that held "before".
  bool Read(Text& keyVal) {
    keyVal = u"before";
    return GetKeyValue(registry, kLocalMachine, kKey, u"v", keyVal);
  }
  void TearDown() override { EXPECT_EQ(registry.openKeys, 0) << "a key was left open"; }
  FakeRegistry registry;
};

TEST_F(GetKeyValueTest, RemovesExactlyOneFinalNul) {
  Text keyVal;
  registry.Set(kKey, u"v", kRegSz, "C:\\a b\\x.exe");
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, u"C:\\a b\\x.exe");
  registry.Set(kKey, u"v", kRegSz, std::string("C:\\x.exe\0", 9));
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, u"C:\\x.exe");
  registry.Set(kKey, u"v", kRegSz, std::string("C:\\x.exe\0\0", 10));
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, Text(u"C:\\x.exe\0", 9));
  registry.Set(kKey, u"v", kRegSz, std::string("\0", 1));
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, u"");
}

TEST_F(GetKeyValueTest, EmptyDataIsAnErrorWhateverTheType) {
  Text keyVal;
  for (std::uint32_t type : {kRegSz, kRegDword, kRegExpandSz}) {
    registry.Set(kKey, u"v", type, "");
    EXPECT_THROW(Read(keyVal), Error) << type;
  }
}

TEST_F(GetKeyValueTest, NumbersAreWrittenInDecimalAndUnsigned) {
  Text keyVal;
  const std::pair<std::uint32_t, Text> cases[] = {
      {32768, u"32768"}, {5, u"5"}, {0x80000000u, u"2147483648"}};
  for (const auto& [number, text] : cases) {
    registry.Set(kKey, u"v", kRegDword, Dword(number));
    EXPECT_TRUE(Read(keyVal));
    EXPECT_EQ(keyVal, text);
  }
}

TEST_F(GetKeyValueTest, OtherTypesCountAsFoundAndLeaveTheTextAsItWas) {
  Text keyVal;
  registry.Set(kKey, u"v", kRegExpandSz, std::string("%SystemRoot%\\x.exe\0", 19));
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, u"before");
}

TEST_F(GetKeyValueTest, ValuesUpTo1024BytesFitAndLargerOnesAreNotFound) {
  Text keyVal;
  registry.Set(kKey, u"v", kRegSz, std::string(1023, 'a') + '\0');
  EXPECT_TRUE(Read(keyVal));
  EXPECT_EQ(keyVal, Text(1023, u'a'));
  registry.Set(kKey, u"v", kRegSz, std::string(1024, 'a') + '\0');
  EXPECT_FALSE(Read(keyVal));
  EXPECT_EQ(keyVal, u"");
}

TEST_F(GetKeyValueTest, AMissingOrRefusedKeyOrValueEmptiesTheText) {
  Text keyVal;
  EXPECT_FALSE(Read(keyVal));  // no key
  EXPECT_EQ(keyVal, u"");
  registry.Set(kKey, u"other", kRegSz, std::string("x\0", 2));
  EXPECT_FALSE(Read(keyVal));  // no such value
  EXPECT_EQ(keyVal, u"");
  registry.Set(kKey, u"v", kRegSz, std::string("x\0", 2));
  registry.refused.insert(kKey);
  EXPECT_FALSE(Read(keyVal));
  EXPECT_EQ(keyVal, u"");
}

class StartSysInfoTest : public ::testing::Test {
 protected:
  void Start() { StartSysInfo(process, registry, messages); }
  void ExpectUnavailable() {
    EXPECT_EQ(messages.shown, std::vector<Text>{u"System Information Is Unavailable At This Time"});
  }
  void TearDown() override { EXPECT_EQ(registry.openKeys, 0) << "a key was left open"; }
  FakeProcess process;
  FakeRegistry registry;
  FakeMessages messages;
};

TEST_F(StartSysInfoTest, TheFirstLocationIsThePathAsReadAndTheSecondIsNotAsked) {
  const Text tool = u"C:\\Program Files\\Common Files\\System\\MSInfo\\msinfo32.exe";
  registry.SetString(kToolKey, u"PATH",
                     "C:\\Program Files\\Common Files\\System\\MSInfo\\msinfo32.exe");
  registry.SetString(kFolderKey, u"MSINFO", "C:\\Elsewhere");
  process.startable = {tool};
  Start();
  EXPECT_EQ(process.started, (std::vector<std::pair<Text, int>>{{tool, 1}}));
  EXPECT_EQ(registry.opened, std::vector<Text>{kToolKey});
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartSysInfoTest, TheSecondLocationNamesTheFolderOfMsinfo32) {
  registry.SetString(kFolderKey, u"MSINFO", "C:\\Tools\\");  // nothing trimmed or added
  const Text tool = u"C:\\Tools\\\\MSINFO32.EXE";
  process.ordinaryFiles = {tool};
  process.startable = {tool};
  Start();
  EXPECT_EQ(process.started, (std::vector<std::pair<Text, int>>{{tool, 1}}));
  EXPECT_EQ(registry.opened, (std::vector<Text>{kToolKey, kFolderKey}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartSysInfoTest, APathTooLargeForTheBufferFallsBackToTheSecondLocation) {
  registry.SetString(kToolKey, u"PATH", "C:\\" + std::string(1100, 'x'));
  registry.SetString(kFolderKey, u"MSINFO", "C:\\Tools");
  process.ordinaryFiles = process.startable = {u"C:\\Tools\\MSINFO32.EXE"};
  Start();
  EXPECT_EQ(process.started.size(), 1u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartSysInfoTest, NoToolFoundShowsTheMessage) {
  Start();  // neither key
  ExpectUnavailable();
  messages.shown.clear();
  registry.SetString(kFolderKey, u"MSINFO", "C:\\Tools");  // a folder without the file
  process.startable = {u"C:\\Tools\\MSINFO32.EXE"};
  Start();
  ExpectUnavailable();
  messages.shown.clear();
  process.ordinaryFiles = {u"C:\\Tools\\MSINFO32.EXE"};
  process.startable.clear();  // there, but it cannot be started
  Start();
  ExpectUnavailable();
}

TEST_F(StartSysInfoTest, AFoundFirstLocationThatFailsNeverAsksTheSecond) {
  registry.SetString(kFolderKey, u"MSINFO", "C:\\Tools");
  process.ordinaryFiles = process.startable = {u"C:\\Tools\\MSINFO32.EXE"};
  const std::pair<std::uint32_t, std::string> firsts[] = {
      {kRegSz, std::string("C:\\missing.exe\0", 15)},                // names nothing
      {kRegExpandSz, std::string("C:\\Tools\\MSINFO32.EXE\0", 22)},  // found, path stays empty
      {kRegSz, ""},                                                  // an error inside the lookup
  };
  for (const auto& [type, data] : firsts) {
    registry.Set(kToolKey, u"PATH", type, data);
    registry.opened.clear();
    messages.shown.clear();
    Start();
    ExpectUnavailable();
    EXPECT_EQ(registry.opened, std::vector<Text>{kToolKey});
  }
  EXPECT_EQ(process.started,
            (std::vector<std::pair<Text, int>>{{u"C:\\missing.exe", 1}, {u"", 1}}));
}

TEST(AboutWindow, SystemInfoStartsTheToolAndTheWindowStaysOpen) {
  testing::FakeProgram program;
  program.windows.Show(program.about);
  program.registry.SetString(kToolKey, u"PATH", "C:\\Tools\\msinfo32.exe");
  program.process.startable = {u"C:\\Tools\\msinfo32.exe"};
  program.about.Click(frmAbout::kCmdSysInfo);
  EXPECT_EQ(program.process.started.size(), 1u);
  program.registry.keys.clear();
  program.about.Click(frmAbout::kCmdSysInfo);
  EXPECT_EQ(program.messages.shown,
            std::vector<Text>{u"System Information Is Unavailable At This Time"});
  EXPECT_TRUE(program.about.IsLoaded());
  EXPECT_FALSE(program.windows.ViewOf(program.about).unloaded);
}

}  // namespace
}  // namespace brindlework
