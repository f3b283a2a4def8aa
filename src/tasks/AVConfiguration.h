#pragma once
// The user's settings that outlive a run, in VelocastConfig.Xml beside the application-data
// folder. One object per process, reached through Configuration().
#include <string>

#include "base/Persistent.h"

namespace vc::tasks {

class TPerformanceOptions final : public base::TPersistent {
 public:
  TPerformanceOptions() = default;
  TPerformanceOptions(const TPerformanceOptions&) = delete;
  TPerformanceOptions& operator=(const TPerformanceOptions&) = delete;
  std::string ClassName() const override { return "TPerformanceOptions"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  int32_t ThreadCount = 0;    // codec threads per conversion; 0 = processor count
  int32_t ThreadPrority = 2;  // process priority level 0..5 (the stored name is spelled so)
};

class TAVConfiguration final : public base::TPersistent {
 public:
  TAVConfiguration();
  TAVConfiguration(const TAVConfiguration&) = delete;
  TAVConfiguration& operator=(const TAVConfiguration&) = delete;
  std::string ClassName() const override { return "TAVConfiguration"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  TPerformanceOptions PerformanceOptions;
  bool ShutdownWhenDone = false;
  std::string OutputFolder;  // $HOME/Conversion at first
  bool ShowAlert = true;

  // Saves first when the file is missing, then reads it. Raises the reading errors.
  void Load();
  // Creates the folder, applies the priority level, writes the file.
  void Save();
  void LoadFromFile(const std::string& file);
  void SaveToFile(const std::string& file) const;

  static std::string GetAppDataFolder();  // .../Tamberlin/Velocast, no trailing separator
  static std::string GetConfigFile();     // GetAppDataFolder() + "Config.Xml"
};

// The process-wide configuration.
TAVConfiguration& Configuration();

}  // namespace vc::tasks
