#pragma once
// In-memory stand-ins for the platform services, recording what the core asks of them.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "platform/Error.h"
#include "platform/IconFiles.h"
#include "platform/OpenFileDialog.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/ShortcutReader.h"
#include "platform/Shell.h"
#include "platform/SiteIconFetch.h"
#include "platform/ShortcutWriter.h"
#include "platform/Window.h"

namespace brindlework::testing {

// What several fakes did, in one order, for tests that check the order across services:
// "message <prompt>", "text <control id>=<text>", "save <key>=<value>", and the shortcut steps.
struct EventLog {
  void Add(Text event) { events.push_back(std::move(event)); }
  std::vector<Text> events;
};
inline void Log(EventLog* log, Text event) {
  if (log) log->Add(std::move(event));
}

// A text as UTF-8, for test messages: the program's own.
using brindlework::Utf8;

struct ShellCall {
  WindowHandle owner;
  Text verb;
  Text file;
  OptionalText parameters;
  OptionalText directory;
  int showCommand;
};

class FakeShell final : public ShellOpen {
 public:
  std::intptr_t Open(WindowHandle owner, const Text& verb, const Text& file,
                     const OptionalText& parameters, const OptionalText& directory,
                     int showCommand) override {
    calls.push_back({owner, verb, file, parameters, directory, showCommand});
    return result;
  }
  std::vector<ShellCall> calls;
  std::intptr_t result = 42;
};

class FakeMessages final : public MessageBoxService {
 public:
  void Show(const Text& prompt) override {
    shown.push_back(prompt);
    if (onShow) onShow(prompt);
    Log(log, u"message " + prompt);
  }
  std::vector<Text> shown;
  std::function<void(const Text&)> onShow;  // runs while the message is "open"
  EventLog* log = nullptr;
};

class FakeProcess final : public Process {
 public:
  Text CommandLine() const override { return commandLine; }
  void EndNow(int exitCode) override { endedWith = exitCode; }
  Text ProgramFolder() const override {
    if (folderError) throw *folderError;
    return folder;
  }
  Text ProgramName() const override { return name; }
  std::uint32_t FileAttributes(const Text& path) const override {
    if (folders.contains(path)) return kFolderAttribute;
    if (!existing.contains(path)) throw Error(2, u"The system cannot find the file specified.");
    return 0x20;  // FILE_ATTRIBUTE_ARCHIVE: a file
  }
  Text ExpandedEnvironmentStrings(const Text& text) const override {
    Text expanded = text;
    for (const auto& [name, value] : variables) {
      const Text reference = u"%" + name + u"%";
      for (auto at = expanded.find(reference); at != Text::npos;
           at = expanded.find(reference, at + value.size())) {
        expanded.replace(at, reference.size(), value);
      }
    }
    return expanded;
  }
  bool IsOrdinaryFile(const Text& path) const override { return ordinaryFiles.contains(path); }
  void StartProgram(const Text& path, int windowStyle) override {
    started.push_back({path, windowStyle});
    if (!startable.contains(path)) throw Error(2, u"The system cannot find the file specified.");
  }
  Text AppTitle() const override { return title; }
  AppVersion Version() const override { return version; }

  Text commandLine = u"Brindlework.exe";
  std::optional<int> endedWith;
  Text folder = u"C:\\Programs\\Brindlework";
  std::optional<Error> folderError;
  Text name = u"Brindlework";
  std::set<Text> existing;         // files whose attributes can be read
  std::set<Text> folders;          // folders, whose attributes can be read as well
  std::map<Text, Text> variables;  // environment strings by name; others stay as %NAME%
  std::set<Text> ordinaryFiles;    // paths that hold an ordinary file
  std::set<Text> startable;        // programs that start
  std::vector<std::pair<Text, int>> started;
  Text title = u"Brindlework";
  AppVersion version{1, 0, 0};
};

// The controls of a window in memory, made from its table: captions as the texts, the combo
// boxes' lists, no entry selected.
class FakeForm final : public FormView {
 public:
  explicit FakeForm(const FormSpec& spec) : caption(spec.caption) {
    for (const auto& control : spec.controls) {
      texts[control.id] = Text(control.caption);
      if (!control.listItems.empty()) {
        lists[control.id] = {control.listItems.begin(), control.listItems.end()};
        selected[control.id] = -1;
      }
    }
  }
  Text GetText(int control) const override { return texts.at(control); }
  void SetText(int control, const Text& text) override {
    texts.at(control) = text;
    Log(log, u"text " + DecimalText(control) + u"=" + text);
  }
  int ListIndex(int control) const override { return selected.at(control); }
  void SetListIndex(int control, int index) override {
    selected.at(control) = index;
    if (index == -1) texts.at(control).clear();
    Log(log, u"select " + DecimalText(control) + u"=" + DecimalText(index));
  }
  Text ListItem(int control, int index) const override {
    const auto& list = lists.at(control);
    if (index < 0 || index >= static_cast<int>(list.size())) {
      throw Error(381, u"Invalid property array index");
    }
    return Text(list[static_cast<std::size_t>(index)]);
  }
  void SetCaption(const Text& text) override { caption = text; }
  WindowHandle Handle() const override { return handle; }
  void Unload() override { unloaded = true; }

  Text caption;
  std::map<int, Text> texts;
  std::map<int, std::vector<TextView>> lists;
  std::map<int, int> selected;
  WindowHandle handle = 0x1234;
  bool unloaded = false;
  EventLog* log = nullptr;
};

// Loads forms into FakeForms, runs their Form_Load, and counts what was shown.
class FakeWindowSystem final : public WindowSystem {
 public:
  void Show(Form& form) override {
    ++shows[&form];
    if (form.IsLoaded()) return;
    auto& view = views[&form];
    view = std::make_unique<FakeForm>(form.Spec());
    view->handle = 0x1000 + views.size();
    form.Attach(view.get());
    form.Form_Load();
  }
  void EndProgram() override { ended = true; }

  FakeForm& ViewOf(const Form& form) { return *views.at(&form); }
  // The user closes the window: the form is unloaded and shows afresh next time.
  void Close(Form& form) {
    form.Attach(nullptr);
    views.erase(&form);
  }

  std::map<const Form*, std::unique_ptr<FakeForm>> views;
  std::map<const Form*, int> shows;
  bool ended = false;
};

// A registry in memory: keys below HKEY_LOCAL_MACHINE by path, values as raw bytes. Counts the
// keys that are open, so that a test can see every one closed again.
class FakeRegistry final : public Registry {
 public:
  struct Value {
    std::uint32_t type;
    std::string data;
  };

  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const Text& subKey) override {
    opened.push_back(subKey);
    const auto key = keys.find(subKey);
    if (root != kLocalMachine || key == keys.end()) {
      throw Error(2, u"The system cannot find the file specified.");
    }
    if (refused.contains(subKey)) throw Error(5, u"Access is denied.");
    return std::make_unique<Key>(*this, key->second);
  }
  // Bytes as Latin-1, which is what the single-byte ANSI code pages do with ASCII.
  Text AnsiText(std::span<const std::byte> data) const override {
    Text text;
    for (std::byte b : data) text.push_back(static_cast<char16_t>(std::to_integer<unsigned>(b)));
    return text;
  }

  void Set(const Text& key, const Text& name, std::uint32_t type, std::string data) {
    keys[key][name] = {type, std::move(data)};
  }
  void SetString(const Text& key, const Text& name, const std::string& text) {
    Set(key, name, kRegSz, text + '\0');
  }

  std::map<Text, std::map<Text, Value>> keys;
  std::set<Text> refused;    // keys that exist but cannot be opened
  std::vector<Text> opened;  // every key asked for, in order
  int openKeys = 0;

 private:
  class Key final : public RegistryKey {
   public:
    Key(FakeRegistry& registry, const std::map<Text, Value>& values)
        : registry_(registry), values_(values) {
      ++registry_.openKeys;
    }
    ~Key() override { --registry_.openKeys; }
    RegistryData QueryValue(const Text& valueName, std::span<std::byte> buffer) override {
      const auto value = values_.find(valueName);
      if (value == values_.end()) throw Error(2, u"The system cannot find the file specified.");
      const std::string& data = value->second.data;
      if (data.size() > buffer.size()) throw Error(234, u"More data is available.");
      std::transform(data.begin(), data.end(), buffer.begin(),
                     [](char c) { return static_cast<std::byte>(c); });
      return {value->second.type, static_cast<std::uint32_t>(data.size())};
    }

   private:
    FakeRegistry& registry_;
    const std::map<Text, Value>& values_;
  };
};

// The open-file dialog, answered from a queue: a chosen path, a cancel, or a failure. Records
// the owner and the settings of every run.
class FakeFileDialogs final : public OpenFileDialogService {
 public:
  struct Cancel {};
  using Answer = std::variant<Text, Cancel, Error>;
  struct Run {
    WindowHandle owner;
    OpenFileSettings settings;
  };

  std::optional<Text> ShowOpen(WindowHandle owner, const OpenFileSettings& settings) override {
    runs.push_back({owner, settings});
    if (answers.empty()) return std::nullopt;
    Answer answer = std::move(answers.front());
    answers.pop_front();
    if (auto* error = std::get_if<Error>(&answer)) throw *error;
    if (auto* path = std::get_if<Text>(&answer)) return *path;
    return std::nullopt;
  }

  std::deque<Answer> answers;  // none left: the user cancels
  std::vector<Run> runs;
};

// The settings store in memory. Save can be made to fail for one key.
class FakeSettingsStore final : public SettingsStore {
 public:
  using Address = std::tuple<Text, Text, Text>;
  void Save(const Text& application, const Text& section, const Text& key,
            const Text& value) override {
    if (failingKey == key) throw Error(5, u"Access is denied.");
    values[{application, section, key}] = value;
    Log(log, u"save " + key + u"=" + value);
  }
  Text Get(const Text& application, const Text& section, const Text& key,
           const Text& fallback) const override {
    const auto found = values.find({application, section, key});
    return found == values.end() ? fallback : found->second;
  }
  // The program's own entries, under Brindlework\toremember.
  std::optional<Text> Stored(const Text& key) const {
    const auto found = values.find({u"Brindlework", u"toremember", key});
    return found == values.end() ? std::nullopt : std::optional<Text>(found->second);
  }
  std::map<Address, Text> values;
  std::optional<Text> failingKey;
  EventLog* log = nullptr;
};

// What one shortcut object was told (its other operations are in the log), and whether it was
// released.
struct ShortcutRecord {
  Text path;
  OptionalText target;
  OptionalText appUserModelId;
  bool programIcon = false;
  bool released = false;
};

// Shortcuts in memory. `failAt` names the one operation that throws `failure`: DesktopFolder,
// CreateShortcut, SetTargetPath, SetIconLocation, SetProgramIcon, SetArguments,
// SetAppUserModelId, SetHotkey, Save.
class FakeShortcutWriter final : public ShortcutWriter {
 public:
  Text DesktopFolder() override {
    Step(u"DesktopFolder");
    return desktop;
  }
  std::unique_ptr<Shortcut> CreateShortcut(const Text& path) override {
    Step(u"CreateShortcut " + path);
    shortcuts.push_back({path});
    return std::make_unique<FakeShortcut>(*this, shortcuts.back());
  }

  Text desktop = u"C:\\Users\\pat\\Desktop";
  std::deque<ShortcutRecord> shortcuts;  // every shortcut object, in order of creation
  std::map<Text, ShortcutRecord> files;  // what the saves wrote, by path
  std::optional<Text> failAt;
  Error failure{-2147024891, u"Access is denied."};
  EventLog* log = nullptr;

 private:
  class FakeShortcut final : public Shortcut {
   public:
    FakeShortcut(FakeShortcutWriter& writer, ShortcutRecord& record)
        : writer_(writer), record_(record) {}
    ~FakeShortcut() override {
      record_.released = true;
      Log(writer_.log, u"release");
    }
    void SetTargetPath(const Text& path) override {
      writer_.Step(u"SetTargetPath " + path);
      record_.target = path;
    }
    // The number first and apart: a path may itself end in ",3".
    void SetIconLocation(const Text& path, int number) override {
      writer_.Step(u"SetIconLocation " + DecimalText(number) + u" " + path);
    }
    void SetProgramIcon() override {
      writer_.Step(u"SetProgramIcon");
      record_.programIcon = true;
    }
    void SetArguments(const Text& arguments) override {
      writer_.Step(u"SetArguments " + arguments);
    }
    void SetAppUserModelId(const Text& id) override {
      writer_.Step(u"SetAppUserModelId " + id);
      record_.appUserModelId = id;
    }
    void SetHotkey(const Text& hotkey) override { writer_.Step(u"SetHotkey " + hotkey); }
    void Save() override {
      writer_.Step(u"Save");
      writer_.files[record_.path] = record_;
    }

   private:
    FakeShortcutWriter& writer_;
    ShortcutRecord& record_;
  };

  // Logs the operation; throws when it is the failing one (named by its first word).
  void Step(const Text& event) {
    Log(log, event);
    if (failAt && event.substr(0, event.find(u' ')) == *failAt) throw failure;
  }
};

// Shortcut files in memory, by path; reading any other path fails as a damaged file does.
class FakeShortcutReader final : public ShortcutReader {
 public:
  ShortcutFile Read(const Text& path) override {
    const auto found = files.find(path);
    if (found == files.end()) throw Error(-2147467259, u"Unspecified error");
    return found->second;
  }
  std::map<Text, ShortcutFile> files;
};

// The icons of files in memory, by path: a path not named holds no icon, shows none in the
// shell and is no picture. A picture's answer may be an Error, which IconOfPicture throws.
class FakeIconFiles final : public IconFiles {
 public:
  unsigned IconCount(const Text& path) override {
    const auto found = counts.find(path);
    return found == counts.end() ? 0 : found->second;
  }
  std::optional<IconLocation> ShellIcon(const Text& path) override {
    const auto found = shellIcons.find(path);
    return found == shellIcons.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<Text> SchemeIcon(const Text& scheme) override {
    const auto found = schemeIcons.find(scheme);
    return found == schemeIcons.end() ? std::nullopt : std::optional(found->second);
  }
  PictureIcon IconOfPicture(const Text& path) override {
    const auto found = made.find(path);
    if (found == made.end()) return {};
    if (const auto* error = std::get_if<Error>(&found->second)) throw *error;
    return std::get<PictureIcon>(found->second);
  }
  // Named by the bytes themselves, read as ASCII: a test fetches short texts as pictures.
  PictureIcon IconOfBytes(std::span<const std::byte> picture) override {
    Text name;
    for (const std::byte b : picture) name += static_cast<char16_t>(b);
    return {PictureIcon::Outcome::Made, u"C:\\Icons\\" + name + u".ico"};
  }

  std::map<Text, unsigned> counts;
  std::map<Text, IconLocation> shellIcons;
  std::map<Text, Text> schemeIcons;  // DefaultIcon texts by scheme
  std::map<Text, std::variant<PictureIcon, Error>> made;
};

// A fetched picture of these bytes: the fake icon service names the icon made of it after them.
inline FetchedIcon Picture(const char* name) {
  FetchedIcon fetched{FetchedIcon::Outcome::Fetched};
  for (; *name; ++name) fetched.bytes.push_back(static_cast<std::byte>(*name));
  return fetched;
}

// Sites' icons by address: an address not named offers none. Each fetch is logged with the
// window that it is modal to.
class FakeSiteIconFetch final : public SiteIconFetch {
 public:
  FetchedIcon Fetch(WindowHandle owner, const Text& address) override {
    Log(log, u"Fetch " + address + u" for " + DecimalText(static_cast<std::int64_t>(owner)));
    fetched.push_back(address);
    const auto found = sites.find(address);
    return found == sites.end() ? FetchedIcon{} : found->second;
  }

  std::map<Text, FetchedIcon> sites;
  std::vector<Text> fetched;
  EventLog* log = nullptr;
};

}  // namespace brindlework::testing
