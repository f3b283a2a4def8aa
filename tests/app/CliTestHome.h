#pragma once
// A test of velocast-cli in a home of its own: configuration, output folder and a prepared task
// database in a temporary folder.
#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace vc::test {

class TCliTestHome : public ::testing::Test {
 protected:
  void SetUp() override {
    env = "XDG_CONFIG_HOME='" + root.Path() + "' HOME='" + root.Path() + "' ";
    ASSERT_EQ(RunCommand(env + "sh '" VELOCAST_SOURCE_DIR "/scripts/create-database.sh' >/dev/null"), 0);
  }
  // Runs velocast-cli with args; its output and errors go to out.
  int cli(const std::string& args, std::string* out = nullptr) {
    return RunCommand(env + "'" VELOCAST_CLI_PATH "' " + args + " 2>&1", out);
  }
  // Runs a query on the task database with the sqlite3 program; its rows as it prints them.
  std::string sql(const std::string& query) {
    std::string out;
    RunCommand("sqlite3 '" + root.Path() + "/Tamberlin/Velocast/av.cfg' \"" + query + "\"", &out);
    return out;
  }
  TTempDir root;
  std::string env;
};

}  // namespace vc::test
