#include "scriptclip/Value.h"

#include <utility>

#include "scriptclip/Clip.h"

namespace vc::scriptclip {

TValue TValue::Adopt(const AVS_Value& value) {
  TValue result;
  result.FValue = value;
  return result;
}

TValue TValue::Copy(const AVS_Value& value) {
  if (value.type == 'c') AddClipRef(value.d.clip);
  return Adopt(value);
}

TValue TValue::Clip(AVS_Clip* clip) {
  AVS_Value value = avs_void_value();
  value.type = 'c';
  value.d.clip = clip;
  return Copy(value);
}

TValue::TValue(const TValue& other) : FValue(other.FValue) {
  if (FValue.type == 'c') AddClipRef(FValue.d.clip);
}

TValue::TValue(TValue&& other) noexcept : FValue(other.FValue) { other.FValue = avs_void_value(); }

TValue& TValue::operator=(TValue other) noexcept {
  std::swap(FValue, other.FValue);
  return *this;
}

TValue::~TValue() {
  if (FValue.type == 'c') ReleaseClip(FValue.d.clip);
}

AVS_Value TValue::Release() {
  const AVS_Value value = FValue;
  FValue = avs_void_value();
  return value;
}

const char* TypeName(char type) {
  switch (type) {
    case 'c': return "clip";
    case 'b': return "bool";
    case 'i': return "int";
    case 'f': return "float";
    case 's': return "string";
    case 'a': return "array";
    case 'e': return "error";
    default: return "void";
  }
}

}  // namespace vc::scriptclip
