#pragma once
// Message boxes as an interface: an error box captioned "Error" and a yes/no question captioned
// "Warning" in which yes is consent. The desktop marshals them to the UI thread; the terminal
// program writes to stderr; tests record them.
#include <string>

namespace vc::base {

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  virtual void ShowError(const std::string& text) = 0;
  virtual bool AskYesNo(const std::string& text) = 0;  // true = yes
};

// Errors to stderr; questions answered from stdin when it is a terminal, otherwise "no".
class TTerminalPrompts final : public IPrompts {
 public:
  void ShowError(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
};

// The process-wide prompts. Without an installed one, a terminal implementation answers.
IPrompts& Prompts();
// Installs the prompts for this process (not owned; nullptr restores the terminal one).
void SetPrompts(IPrompts* prompts);

}  // namespace vc::base
