#pragma once
// Runs a script in an environment: statements in order, each clip an expression gives becoming
// "last", functions called with "last" put in front when their first parameter is a clip and the
// call gives none.
#include "scriptclip/Environment.h"
#include "scriptclip/ScriptParser.h"

namespace vc::scriptclip {

// The value of the last statement when it is an expression, otherwise the value of "last" (void
// when there is none). Throws TScriptError naming the line and column of the failure.
TValue RunScript(AVS_ScriptEnvironment& env, const TScript& script);

}  // namespace vc::scriptclip
