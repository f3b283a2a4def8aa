#include "scriptclip/Environment.h"

#include <algorithm>
#include <cctype>

#include "scriptclip/Builtins.h"
#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

namespace {

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
  return result;
}

bool accepts(char type, const TValue& value) {
  switch (type) {
    case '.': return !value.IsVoid();
    case 'f': return value.IsNumber();
    default: return value.Type() == type;
  }
}

const char* typeWord(char type) { return type == '.' ? "a value" : TypeName(type); }

// Function calls that run scripts that call functions: a script built to call itself must end
// with an error, not with the stack.
constexpr int kMaxCallDepth = 64;

}  // namespace

bool IsName(std::string_view text) {
  if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) return false;
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

std::vector<TParam> ParseSignature(std::string_view signature) {
  std::vector<TParam> params;
  for (size_t i = 0; i < signature.size();) {
    TParam param;
    if (signature[i] == '[') {
      const size_t end = signature.find(']', i);
      if (end == std::string_view::npos) throw TScriptError("the signature lacks a ']'");
      param.Name = std::string(signature.substr(i + 1, end - i - 1));
      if (!IsName(param.Name)) throw TScriptError("the signature names a parameter \"" + param.Name + "\"");
      param.Optional = true;
      i = end + 1;
    }
    if (i >= signature.size()) throw TScriptError("the signature ends without a type");
    param.Type = signature[i++];
    if (std::string_view("cifsb.").find(param.Type) == std::string_view::npos)
      throw TScriptError(std::string("the signature has an unknown type '") + param.Type + "'");
    params.push_back(std::move(param));
  }
  return params;
}

}  // namespace vc::scriptclip

using vc::scriptclip::TScriptError;
using vc::scriptclip::TValue;

AVS_ScriptEnvironment::AVS_ScriptEnvironment() {
  FScopes.emplace_back();
  vc::scriptclip::RegisterBuiltins(*this);
}

void AVS_ScriptEnvironment::AddFunction(const std::string& name, const std::string& signature,
                                        vc::scriptclip::TBody body) {
  if (!vc::scriptclip::IsName(name)) throw TScriptError("\"" + name + "\" cannot name a function");
  FFunctions[vc::scriptclip::lower(name)] = {name, vc::scriptclip::ParseSignature(signature), std::move(body)};
}

const vc::scriptclip::TFunction* AVS_ScriptEnvironment::FindFunction(std::string_view name) const {
  const auto found = FFunctions.find(vc::scriptclip::lower(name));
  return found == FFunctions.end() ? nullptr : &found->second;
}

TValue AVS_ScriptEnvironment::Call(std::string_view name, std::vector<TValue> positional,
                                   vc::scriptclip::TNamedArgs named) {
  using namespace vc::scriptclip;
  const TFunction* function = FindFunction(name);
  if (!function) throw TScriptError("there is no function named \"" + std::string(name) + "\"");
  const std::string& fn = function->Name;
  const auto& params = function->Params;
  if (positional.size() > params.size())
    throw TScriptError(fn + " takes " + std::to_string(params.size()) + " arguments, not " +
                       std::to_string(positional.size()));
  std::vector<TValue> args(params.size());
  std::vector<bool> given(params.size(), false);
  for (size_t i = 0; i < positional.size(); ++i) {
    args[i] = std::move(positional[i]);
    given[i] = true;
  }
  for (auto& [argName, value] : named) {
    const auto param = std::find_if(params.begin(), params.end(), [&](const TParam& p) {
      return !p.Name.empty() && lower(p.Name) == lower(argName);
    });
    if (param == params.end()) throw TScriptError(fn + " has no argument named \"" + argName + "\"");
    const size_t index = static_cast<size_t>(param - params.begin());
    if (given[index]) throw TScriptError(fn + " is given its argument \"" + param->Name + "\" twice");
    args[index] = std::move(value);
    given[index] = true;
  }
  for (size_t i = 0; i < params.size(); ++i) {
    const std::string which =
        params[i].Name.empty() ? "argument " + std::to_string(i + 1) : "argument \"" + params[i].Name + "\"";
    if (!given[i]) {
      if (params[i].Optional) continue;
      throw TScriptError(fn + " needs its " + which + " (" + typeWord(params[i].Type) + ")");
    }
    if (!accepts(params[i].Type, args[i]))
      throw TScriptError(fn + ": " + which + " must be " + typeWord(params[i].Type) + ", not " +
                         TypeName(args[i].Type()));
    if (params[i].Type == 'f' && args[i].Type() == 'i') args[i] = TValue::Float(args[i].AsInt());
  }
  if (FCallDepth >= kMaxCallDepth) throw TScriptError(fn + ": calls nest too deeply");
  ++FCallDepth;
  struct TDepth {
    int& Depth;
    ~TDepth() { --Depth; }
  } depth{FCallDepth};
  return function->Body(*this, args);
}

const TValue* AVS_ScriptEnvironment::FindVar(std::string_view name) const {
  const std::string key = vc::scriptclip::lower(name);
  for (auto scope = FScopes.rbegin(); scope != FScopes.rend(); ++scope) {
    const auto found = scope->find(key);
    if (found != scope->end()) return &found->second;
  }
  const auto found = FGlobals.find(key);
  return found == FGlobals.end() ? nullptr : &found->second;
}

// Strings of stored values must outlive the caller's buffers they may point into.
TValue AVS_ScriptEnvironment::stored(TValue value) {
  if (value.Type() == 's') return TValue::String(Intern(value.AsString() ? value.AsString() : ""));
  if (value.Type() == 'a' || value.Type() == 'e') throw TScriptError("a variable cannot hold an array or an error");
  return value;
}

void AVS_ScriptEnvironment::SetVar(std::string_view name, TValue value) {
  if (!vc::scriptclip::IsName(name)) throw TScriptError("\"" + std::string(name) + "\" cannot name a variable");
  FScopes.back()[vc::scriptclip::lower(name)] = stored(std::move(value));
}

void AVS_ScriptEnvironment::SetGlobalVar(std::string_view name, TValue value) {
  if (!vc::scriptclip::IsName(name)) throw TScriptError("\"" + std::string(name) + "\" cannot name a variable");
  FGlobals[vc::scriptclip::lower(name)] = stored(std::move(value));
}

const char* AVS_ScriptEnvironment::Intern(std::string_view text) { return FStrings.emplace(text).first->c_str(); }
