#include "base/Prompts.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>

namespace vc::base {

void TTerminalPrompts::ShowError(const std::string& text) { std::fprintf(stderr, "Error: %s\n", text.c_str()); }

bool TTerminalPrompts::AskYesNo(const std::string& text) {
  std::fprintf(stderr, "Warning: %s [y/N] ", text.c_str());
  if (!isatty(STDIN_FILENO)) {
    std::fprintf(stderr, "n\n");
    return false;
  }
  std::string answer;
  std::getline(std::cin, answer);
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

namespace {
TTerminalPrompts terminalPrompts;
std::atomic<IPrompts*> installedPrompts{nullptr};
}  // namespace

IPrompts& Prompts() {
  IPrompts* p = installedPrompts.load();
  return p ? *p : terminalPrompts;
}

void SetPrompts(IPrompts* prompts) { installedPrompts.store(prompts); }

}  // namespace vc::base
