#include <cstdio>

#include "app/cli/CliCommands.h"
#include "base/Format.h"
#include "tasks/AVConfiguration.h"

namespace vc::cli {

namespace {

// Prints every published property as "Path.Name=value", descending into owned objects.
void printProperties(base::TPersistent& object, const std::string& prefix) {
  for (const auto& p : object.Properties()) {
    const std::string name = prefix + p.Name;
    switch (p.Kind) {
      case base::TPropKind::Object:
        printProperties(*p.GetObject(object), name + ".");
        break;
      case base::TPropKind::StringList:
        std::printf("%s=%s\n", name.c_str(), p.GetList(object)->CommaText().c_str());
        break;
      case base::TPropKind::String:
        std::printf("%s=%s\n", name.c_str(), p.GetStr(object).c_str());
        break;
      case base::TPropKind::Single:
      case base::TPropKind::Double:
        std::printf("%s=%s\n", name.c_str(), base::FloatText15(p.GetFloat(object)).c_str());
        break;
      case base::TPropKind::Enumeration:
        std::printf("%s=%s\n", name.c_str(), p.EnumNames.at(static_cast<size_t>(p.GetOrd(object))).c_str());
        break;
      default:
        std::printf("%s=%lld\n", name.c_str(), static_cast<long long>(p.GetOrd(object)));
    }
  }
}

}  // namespace

int cmdVersion(const TArgs&) {
  std::printf("velocast-cli %s\n", VELOCAST_VERSION);
  return 0;
}

int cmdConfig(const TArgs&) {
  auto& configuration = tasks::Configuration();
  std::printf("Configuration file: %s\n", tasks::TAVConfiguration::GetConfigFile().c_str());
  std::printf("Application-data folder: %s\n", tasks::TAVConfiguration::GetAppDataFolder().c_str());
  printProperties(configuration, "");
  return 0;
}

}  // namespace vc::cli
