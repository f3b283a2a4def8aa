#include "tasks/AVConfiguration.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AppPaths.h"
#include "base/Format.h"
#include "base/ObjectXml.h"
#include "base/PlatformActions.h"

namespace vc::tasks {

const base::TPropTable& TPerformanceOptions::Properties() const {
  using C = TPerformanceOptions;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("ThreadCount", &C::ThreadCount)
                                            .Field("ThreadPrority", &C::ThreadPrority)
                                            .Build();
  return table;
}

void TPerformanceOptions::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TPerformanceOptions*>(&source);
  if (!s) AssignError(source);
  ThreadCount = s->ThreadCount;
  ThreadPrority = s->ThreadPrority;
}

TAVConfiguration::TAVConfiguration() : OutputFolder(base::HomeFolder() + "/Conversion") {}

const base::TPropTable& TAVConfiguration::Properties() const {
  using C = TAVConfiguration;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("PerformanceOptions", &C::PerformanceOptions)
                                            .Field("ShutdownWhenDone", &C::ShutdownWhenDone, 0)
                                            .Field("OutputFolder", &C::OutputFolder)
                                            .Field("ShowAlert", &C::ShowAlert, 1)
                                            .Build();
  return table;
}

void TAVConfiguration::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TAVConfiguration*>(&source);
  if (!s) AssignError(source);
  PerformanceOptions.Assign(s->PerformanceOptions);
  ShutdownWhenDone = s->ShutdownWhenDone;
  OutputFolder = s->OutputFolder;
  ShowAlert = s->ShowAlert;
}

std::string TAVConfiguration::GetAppDataFolder() { return base::AppDataFolder(); }

std::string TAVConfiguration::GetConfigFile() { return GetAppDataFolder() + "Config.Xml"; }

void TAVConfiguration::Load() {
  if (!std::filesystem::exists(GetConfigFile())) Save();
  LoadFromFile(GetConfigFile());
}

void TAVConfiguration::Save() {
  const std::string file = GetConfigFile();
  base::ForceDirectories(std::filesystem::path(file).parent_path().string());
  base::PlatformActions().SetProcessPriority(PerformanceOptions.ThreadPrority);
  SaveToFile(file);
}

void TAVConfiguration::LoadFromFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  // Read into a scratch object so a value that does not parse leaves this one untouched.
  TAVConfiguration loaded;
  loaded.Assign(*this);
  base::ReadObjectXml(text.str(), loaded);
  Assign(loaded);
}

void TAVConfiguration::SaveToFile(const std::string& file) const {
  const std::string text = base::WriteObjectXml(*this, base::TPropFormat::Node, {.Indented = true});
  // Write beside the file and rename over it, so a full disk never leaves half a configuration.
  const std::string temporary = file + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      std::filesystem::remove(temporary);
      throw base::EVelocastError(base::Format("Cannot write the configuration file %s", file.c_str()));
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    throw base::EVelocastError(base::Format("Cannot write the configuration file %s", file.c_str()));
  }
}

TAVConfiguration& Configuration() {
  static TAVConfiguration configuration;
  return configuration;
}

}  // namespace vc::tasks
