#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using namespace vc;

TEST(CreateDatabaseTest, MakesThePreparedDatabaseOnceAndNeverTouchesItAgain) {
  test::TTempDir root;
  const std::string script = "XDG_CONFIG_HOME='" + root.Path() + "' sh '" VELOCAST_SOURCE_DIR "/scripts/create-database.sh'";
  ASSERT_EQ(test::RunCommand(script), 0);
  const std::string db = root.Path() + "/Tamberlin/Velocast/av.cfg";
  std::string out;
  ASSERT_EQ(test::RunCommand("sqlite3 '" + db + "' 'select ID, Category, Path, Parent from Categories'", &out), 0);
  EXPECT_EQ(out, "1|Converted|" + std::string(std::getenv("HOME")) + "/Conversion|-1\n");
  ASSERT_EQ(test::RunCommand("sqlite3 '" + db + "' 'select name from pragma_table_info(\"Conversions\") order by cid'", &out), 0);
  EXPECT_EQ(out, "ID\nConverting\nConvertSettings\nConvertedDate\nCategoryId\nLog\n");

  test::WriteFile(db, "not a database, but the user's file");
  ASSERT_EQ(test::RunCommand(script), 0);
  EXPECT_EQ(test::ReadFile(db), "not a database, but the user's file");
}
