// velocast-cli run SETTINGS.xml: one conversion from a stored settings record, on the terminal.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/RunConversion.h"
#include "tasks/ConversionSettings.h"

namespace vc::cli {

namespace {

bool readText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

}  // namespace

int cmdRun(const TArgs& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "Usage: velocast-cli run SETTINGS.xml\n");
    return 2;
  }
  std::string xml;
  if (!readText(args[0], xml)) {
    std::fprintf(stderr, "Cannot read %s\n", args[0].c_str());
    return 1;
  }
  tasks::TConversionSettings settings;
  settings.FromXml(xml);

  return RunConversion(settings);
}

}  // namespace vc::cli
