// velocast-cli: the converter's profiles, engine and task database without a display.
#include <cstdio>
#include <exception>
#include <functional>
#include <map>

#include "app/cli/CliCommands.h"
#include "app/cli/FilterArgs.h"
#include "tasks/AVConfiguration.h"

namespace {

void printUsage() {
  std::printf(
      "Usage: velocast-cli COMMAND [ARGS]\n"
      "Commands:\n"
      "  --version        print the program version\n"
      "  config           print the configuration file, the application-data folder and every setting\n"
      "  profiles [--all] list the profiles by category (--all: every profile with class, extension, category)\n"
      "  run SETTINGS.xml convert the source of a stored conversion settings record into its target\n"
      "  convert --profile NAME SOURCE [-o TARGET] [--start SEC] [--end SEC] [--threads N] [--input-format NAME]\n"
      "                   [--category ID] [video filters]  convert SOURCE with a profile as a task of the queue\n"
      "  convert --profile NAME --dvd PATH --title N [--chapters A-B] [--angle K] [...]\n"
      "                   convert a chapter range of a DVD title\n"
      "%s"
      "  dvd PATH         list the titles of a DVD (drive mount point, VIDEO_TS folder or ISO image)\n"
      "  snapshot SOURCE --at SEC [-o FILE.png] [--filters TEXT] [--frames N]\n"
      "                   write the preview's picture at SEC (and the N-1 after it) as PNG\n"
      "  tasks [--category ID]  list the queue, or the history of a category\n"
      "  categories       list the categories of the history\n"
      "  start ID         run again a queue task an earlier run left unfinished\n",
      vc::cli::kFilterUsage);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vc;
  const std::map<std::string, std::function<int(const cli::TArgs&)>> commands = {
      {"--version", cli::cmdVersion},
      {"config", cli::cmdConfig},
      {"profiles", cli::cmdProfiles},
      {"run", cli::cmdRun},
      {"convert", cli::cmdConvert},
      {"dvd", cli::cmdDvd},
      {"snapshot", cli::cmdSnapshot},
      {"tasks", cli::cmdTasks},
      {"categories", cli::cmdCategories},
      {"start", cli::cmdStart},
  };
  if (argc < 2) {
    printUsage();
    return 2;
  }
  const auto command = commands.find(argv[1]);
  if (command == commands.end()) {
    std::fprintf(stderr, "velocast-cli: unknown command '%s'\n", argv[1]);
    printUsage();
    return 2;
  }
  try {
    // The configuration comes first, as at the desktop's start: a first run writes the file.
    tasks::Configuration().Load();
    return command->second(cli::TArgs(argv + 2, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
