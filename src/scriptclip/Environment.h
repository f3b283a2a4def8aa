#pragma once
// A script environment: its functions (the library's own and those the caller adds), its
// variables in nested scopes plus the globals, and the strings its values point to.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "scriptclip/ScriptClipApi.h"
#include "scriptclip/Value.h"

namespace vc::scriptclip {

struct TParam {
  std::string Name;       // empty for a positional-only parameter
  char Type = '.';        // c, i, f, s, b or . (any)
  bool Optional = false;  // named parameters may be left out
};

// Reads a signature such as "c[bright]f[cont]f"; throws TScriptError when it is malformed.
std::vector<TParam> ParseSignature(std::string_view signature);

// A function body: gets one value per parameter (void for those left out), integers already
// widened where the parameter is a number.
using TBody = std::function<TValue(AVS_ScriptEnvironment& env, const std::vector<TValue>& args)>;

struct TFunction {
  std::string Name;
  std::vector<TParam> Params;
  TBody Body;
};

using TNamedArgs = std::vector<std::pair<std::string, TValue>>;

bool IsName(std::string_view text);

}  // namespace vc::scriptclip

struct AVS_ScriptEnvironment {
  AVS_ScriptEnvironment();
  AVS_ScriptEnvironment(const AVS_ScriptEnvironment&) = delete;
  AVS_ScriptEnvironment& operator=(const AVS_ScriptEnvironment&) = delete;

  // Throws TScriptError for a bad name or signature.
  void AddFunction(const std::string& name, const std::string& signature, vc::scriptclip::TBody body);
  const vc::scriptclip::TFunction* FindFunction(std::string_view name) const;
  // Binds the arguments to the function's parameters and runs it; throws TScriptError when they
  // do not fit or the function fails.
  vc::scriptclip::TValue Call(std::string_view name, std::vector<vc::scriptclip::TValue> positional,
                              vc::scriptclip::TNamedArgs named);

  // Variables are looked up from the innermost scope outwards, then among the globals.
  const vc::scriptclip::TValue* FindVar(std::string_view name) const;
  void SetVar(std::string_view name, vc::scriptclip::TValue value);        // innermost scope
  void SetGlobalVar(std::string_view name, vc::scriptclip::TValue value);

  // A scope for the duration of one script run.
  class TScope final {
   public:
    explicit TScope(AVS_ScriptEnvironment& env) : FEnv(env) { FEnv.FScopes.emplace_back(); }
    ~TScope() { FEnv.FScopes.pop_back(); }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    AVS_ScriptEnvironment& FEnv;
  };

  // A copy of text that lives as long as the environment; equal texts share one copy, so
  // repeated errors and strings do not pile up.
  const char* Intern(std::string_view text);

  std::string LastError;

 private:
  using TVariables = std::map<std::string, vc::scriptclip::TValue>;
  vc::scriptclip::TValue stored(vc::scriptclip::TValue value);

  std::map<std::string, vc::scriptclip::TFunction> FFunctions;  // by lower-case name
  std::vector<TVariables> FScopes;                              // by lower-case name
  TVariables FGlobals;
  std::unordered_set<std::string> FStrings;
  int FCallDepth = 0;
};
