// velocast-cli tasks, categories and start: the queue and the history of the task database.
#include <cstdio>

#include "app/cli/CliCommands.h"
#include "app/cli/CliQueue.h"
#include "base/Format.h"

namespace vc::cli {

int cmdTasks(const TArgs& args) {
  int category = -1;
  if (args.size() == 2 && args[0] == "--category") {
    int32_t id = 0;
    if (!base::TryParseInt32(args[1], id) || id < 1) {
      std::fprintf(stderr, "--category takes a category number, not '%s'\n", args[1].c_str());
      return 2;
    }
    category = id;
  } else if (!args.empty()) {
    std::fprintf(stderr, "Usage: velocast-cli tasks [--category ID]\n");
    return 2;
  }
  TCliQueue queue;
  return queue.PrintTasks(category);
}

int cmdCategories(const TArgs& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "Usage: velocast-cli categories\n");
    return 2;
  }
  TCliQueue queue;
  queue.PrintCategories();
  return 0;
}

int cmdStart(const TArgs& args) {
  int64_t id = 0;
  if (args.size() != 1 || !base::TryParseInt64(args[0], id) || id < 1) {
    std::fprintf(stderr, "Usage: velocast-cli start ID   (the ID column of 'velocast-cli tasks')\n");
    return 2;
  }
  TCliQueue queue;
  return queue.Start(id);
}

}  // namespace vc::cli
