#include "scriptclip/Builtins.h"

#include "scriptclip/Environment.h"
#include "scriptclip/PictureFilters.h"
#include "scriptclip/ScriptError.h"
#include "scriptclip/ScriptEvaluator.h"

namespace vc::scriptclip {

namespace {

using TArgs = std::vector<TValue>;

TClipRef clipOf(const TValue& value) { return TClipRef::Share(value.AsClip()); }

TValue clipValue(TClipRef clip) {
  TValue value = TValue::Clip(clip.Get());
  return value;
}

double number(const TValue& value, double otherwise) { return value.IsVoid() ? otherwise : value.AsFloat(); }
int integer(const TValue& value, int otherwise) { return value.IsVoid() ? otherwise : value.AsInt(); }

// Runs script with last set to the clip, in a scope of its own. The result must be a clip of the
// same size and colour format: whoever reads its frames back into the source picture relies on it.
TValue scriptClip(AVS_ScriptEnvironment& env, const TArgs& args) {
  const TValue& source = args[0];
  const TScript script = ParseScript(args[1].AsString() ? args[1].AsString() : "");
  AVS_ScriptEnvironment::TScope scope(env);
  env.SetVar("last", source);
  const TValue result = RunScript(env, script);
  if (!result.IsClip())
    throw TScriptError(std::string("ScriptClip: the script gives ") + TypeName(result.Type()) + ", not a clip");
  const AVS_VideoInfo& in = source.AsClip()->Info();
  const AVS_VideoInfo& out = result.AsClip()->Info();
  if (in.width != out.width || in.height != out.height || in.pixel_type != out.pixel_type)
    throw TScriptError("ScriptClip: the script changes the clip's size or colour format");
  return result;
}

}  // namespace

void RegisterBuiltins(AVS_ScriptEnvironment& env) {
  env.AddFunction("Invert", "c", [](AVS_ScriptEnvironment&, const TArgs& a) { return clipValue(MakeInvert(clipOf(a[0]))); });
  const TBody greyscale = [](AVS_ScriptEnvironment&, const TArgs& a) { return clipValue(MakeGreyscale(clipOf(a[0]))); };
  env.AddFunction("Greyscale", "c", greyscale);
  env.AddFunction("Grayscale", "c", greyscale);
  env.AddFunction("FlipVertical", "c",
                  [](AVS_ScriptEnvironment&, const TArgs& a) { return clipValue(MakeFlip(clipOf(a[0]), true)); });
  env.AddFunction("FlipHorizontal", "c",
                  [](AVS_ScriptEnvironment&, const TArgs& a) { return clipValue(MakeFlip(clipOf(a[0]), false)); });
  env.AddFunction("Tweak", "c[hue]f[sat]f[bright]f[cont]f", [](AVS_ScriptEnvironment&, const TArgs& a) {
    TTweak tweak;
    tweak.Hue = number(a[1], tweak.Hue);
    tweak.Sat = number(a[2], tweak.Sat);
    tweak.Bright = number(a[3], tweak.Bright);
    tweak.Cont = number(a[4], tweak.Cont);
    return clipValue(MakeTweak(clipOf(a[0]), tweak));
  });
  env.AddFunction("Levels", "c[input_low]i[gamma]f[input_high]i[output_low]i[output_high]i",
                  [](AVS_ScriptEnvironment&, const TArgs& a) {
                    TLevels levels;
                    levels.InputLow = integer(a[1], levels.InputLow);
                    levels.Gamma = number(a[2], levels.Gamma);
                    levels.InputHigh = integer(a[3], levels.InputHigh);
                    levels.OutputLow = integer(a[4], levels.OutputLow);
                    levels.OutputHigh = integer(a[5], levels.OutputHigh);
                    return clipValue(MakeLevels(clipOf(a[0]), levels));
                  });
  env.AddFunction("ScriptClip", "cs", scriptClip);
  env.AddFunction("Width", "c", [](AVS_ScriptEnvironment&, const TArgs& a) { return TValue::Int(a[0].AsClip()->Info().width); });
  env.AddFunction("Height", "c",
                  [](AVS_ScriptEnvironment&, const TArgs& a) { return TValue::Int(a[0].AsClip()->Info().height); });
}

}  // namespace vc::scriptclip
