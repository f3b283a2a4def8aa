#pragma once
// An owning AVS_Value: a clip value holds one reference to its clip for as long as it lives.
#include <string>

#include "scriptclip/ScriptClipApi.h"

namespace vc::scriptclip {

class TValue final {
 public:
  TValue() : FValue(avs_void_value()) {}
  // Takes over the reference that value holds.
  static TValue Adopt(const AVS_Value& value);
  // Adds a reference of its own.
  static TValue Copy(const AVS_Value& value);
  static TValue Clip(AVS_Clip* clip);  // adds a reference
  static TValue Int(int i) { return Adopt(avs_new_value_int(i)); }
  static TValue Float(double f) { return Adopt(avs_new_value_float(f)); }
  static TValue Bool(bool b) { return Adopt(avs_new_value_bool(b)); }
  // s must outlive the value (an interned string of the environment).
  static TValue String(const char* s) { return Adopt(avs_new_value_string(s)); }

  TValue(const TValue& other);
  TValue(TValue&& other) noexcept;
  TValue& operator=(TValue other) noexcept;
  ~TValue();

  const AVS_Value& Get() const { return FValue; }
  char Type() const { return static_cast<char>(FValue.type); }
  bool IsVoid() const { return FValue.type == 'v'; }
  bool IsClip() const { return FValue.type == 'c'; }
  bool IsNumber() const { return FValue.type == 'i' || FValue.type == 'f'; }
  AVS_Clip* AsClip() const { return FValue.d.clip; }
  int AsInt() const { return FValue.d.integer; }
  double AsFloat() const { return FValue.type == 'i' ? FValue.d.integer : FValue.d.floating_pt; }
  bool AsBool() const { return FValue.d.boolean != 0; }
  const char* AsString() const { return FValue.d.string; }
  // Hands the value (and its reference) to the caller.
  AVS_Value Release();

 private:
  AVS_Value FValue;
};

// The name of a value's type as scripts read it ("clip", "int", ...).
const char* TypeName(char type);

}  // namespace vc::scriptclip
