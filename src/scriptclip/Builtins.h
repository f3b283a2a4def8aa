#pragma once
// The functions every environment starts with: the picture functions, ScriptClip, Width, Height.
struct AVS_ScriptEnvironment;

namespace vc::scriptclip {

void RegisterBuiltins(AVS_ScriptEnvironment& env);

}  // namespace vc::scriptclip
