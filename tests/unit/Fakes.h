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
#include <variant>
#include <vector>

#include "platform/Error.h"
#include "platform/OpenFileDialog.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Window.h"

namespace brindlework::testing {

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
  }
  std::vector<Text> shown;
  std::function<void(const Text&)> onShow;  // runs while the message is "open"
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
    if (!existing.contains(path)) throw Error(2, u"The system cannot find the file specified.");
    return 0x20;
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
  std::set<Text> existing;       // paths whose attributes can be read
  std::set<Text> ordinaryFiles;  // paths that hold an ordinary file
  std::set<Text> startable;      // programs that start
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
  void SetText(int control, const Text& text) override { texts.at(control) = text; }
  int ListIndex(int control) const override { return selected.at(control); }
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
  std::set<Text> refused;     // keys that exist but cannot be opened
  std::vector<Text> opened;   // every key asked for, in order
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

}  // namespace brindlework::testing
