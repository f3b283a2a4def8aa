// Runs one conversion on the terminal without the task queue.
#include "app/cli/RunConversion.h"

#include <cstdio>

#include "app/cli/TerminalSession.h"
#include "engine/AVConverter.h"

namespace vc::cli {

int RunConversion(const tasks::TConversionSettings& settings) {
  TTerminalSession session;
  bool completed = false;
  bool stopped = false;
  std::string errorText;
  {
    engine::TAVConverter converter;
    converter.SetConvertOptions(settings.ConvertOptions);
    converter.InputFiles().Add(settings.SourceFile);
    converter.OutputFiles().Add(settings.TargetFile);
    converter.OnProgress = [&](engine::TAVConverter& c) { session.Display().Show(c); };
    converter.OnStopped = [&](engine::TAVConverter&) { stopped = true; };
    converter.OnComplete = [&](engine::TAVConverter& c) {
      errorText = c.ErrorText();
      if (errorText.empty()) session.Display().Show(c);  // progress is rate-limited: show where it ended
      session.Display().End();
      completed = true;
    };
    converter.Start();
    session.RunUntil([&] { return completed; }, [&] { converter.Stop(); });
  }
  return ConversionExitStatus(settings.TargetFile, errorText, stopped);
}

int ConversionExitStatus(const std::string& targetFile, const std::string& errorText, bool stopped) {
  if (!errorText.empty()) return 1;
  if (stopped) {
    std::fprintf(stderr, "Stopped; %s holds what was converted until then.\n", targetFile.c_str());
    return 130;
  }
  return 0;
}

}  // namespace vc::cli
