#pragma once
// Test doubles and helpers: prompts and platform actions that record instead of showing or
// acting, a temporary folder, and an isolated configuration root.
#include <string>
#include <vector>

#include "base/PlatformActions.h"
#include "base/Prompts.h"

namespace vc::test {

// Records error boxes and answers questions with a preset answer. Installs itself while alive.
class TRecordingPrompts final : public base::IPrompts {
 public:
  TRecordingPrompts() { base::SetPrompts(this); }
  ~TRecordingPrompts() override { base::SetPrompts(nullptr); }
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    Questions.push_back(text);
    return Answer;
  }
  std::vector<std::string> Errors;
  std::vector<std::string> Questions;
  bool Answer = true;
};

// Records every platform action as one line ("ShutDown", "OpenFile /x"). Installs itself.
class TRecordingPlatformActions final : public base::IPlatformActions {
 public:
  TRecordingPlatformActions() { base::SetPlatformActions(this); }
  ~TRecordingPlatformActions() override { base::SetPlatformActions(nullptr); }
  void ShowFolder(const std::string& f) override { Calls.push_back("ShowFolder " + f); }
  void ShowFile(const std::string& f) override { Calls.push_back("ShowFile " + f); }
  void OpenFile(const std::string& f) override { Calls.push_back("OpenFile " + f); }
  bool RunProgram(const std::string& p, const std::vector<std::string>& args) override {
    std::string line = "RunProgram " + p;
    for (const auto& a : args) line += " " + a;
    Calls.push_back(line);
    return ProgramFound;
  }
  void PlayFile(const std::string& f) override { Calls.push_back("PlayFile " + f); }
  void ShutDown() override { Calls.push_back("ShutDown"); }
  void SetProcessPriority(int level) override { Calls.push_back("SetProcessPriority " + std::to_string(level)); }
  std::vector<std::string> Calls;
  bool ProgramFound = true;
};

// A fresh folder under the build's temporary area, removed with its content at the end.
class TTempDir final {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return FPath; }
  std::string File(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

// Points XDG_CONFIG_HOME at a fresh folder for the object's lifetime.
class TIsolatedConfig final {
 public:
  TIsolatedConfig();
  ~TIsolatedConfig();
  const std::string& Root() const { return FDir.Path(); }

 private:
  TTempDir FDir;
  std::string FOld;
  bool FHadOld = false;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// Runs a shell command, returns its exit status and (optionally) its standard output.
int RunCommand(const std::string& command, std::string* output = nullptr);

}  // namespace vc::test
