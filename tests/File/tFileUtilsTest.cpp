#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"

namespace {

// Files and directories made inside the test program's own folder, removed
// again in reverse order at the end. std::filesystem::remove takes only files
// and empty directories, so nothing that was there before goes with them.
class tAppFolderFiles {
 public:
  ~tAppFolderFiles() {
    std::error_code ignored;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) std::filesystem::remove(*it, ignored);
  }
  void directory(const std::string& path) {
    if (!pathExists(path) && mkdir(path.c_str(), 0777) == 0) made_.push_back(path);
  }
  void file(const std::string& path) {
    writeRaw(path, "x");
    made_.push_back(path);
  }
  // Marks a directory that the code under test will create.
  void expectDirectory(const std::string& path) {
    if (!pathExists(path)) made_.push_back(path);
  }

 private:
  std::vector<std::string> made_;  // paths to remove, in creation order
};

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(tFileUtilsTest, FilenameAndCompletePath) {
  const char* names[][2] = {{"/a/b/c.func", "c.func"}, {"c.func", "c.func"}, {"/x/", ""},
                            {"/", ""}, {"", ""}, {"dir/file name.blam", "file name.blam"}};
  for (auto& r : names) EXPECT_EQ(r[1], tFileUtils::getFilenameFromPath(r[0])) << r[0];

  for (const char* path : {"/a", "/"}) EXPECT_TRUE(tFileUtils::isCompletePath(path)) << path;
  for (const char* path : {"a/b", "./a", ""}) {
    EXPECT_FALSE(tFileUtils::isCompletePath(path)) << path;
  }
}

TEST(tFileUtilsTest, ApplicationDirectoryHoldsTheTestProgram) {
  char* expected = realpath(ROOTWEAVER_BINARY_DIR "/tests", nullptr);
  ASSERT_NE(nullptr, expected);
  EXPECT_EQ(std::string(expected) + "/", tFileUtils::getApplicationDirectory());
  free(expected);
  EXPECT_EQ(tFileUtils::getApplicationDirectory() + "resources/",
            tFileUtils::getResourceDirectory());
}

// One test for both, so that no two tests of this program share the resource
// directory at once.
TEST(tFileUtilsTest, ResourcePathsAndListingsStayInsideTheResourceDirectory) {
  const std::string app = tFileUtils::getApplicationDirectory();
  const std::string resources = tFileUtils::getResourceDirectory();
  tAppFolderFiles made;
  made.directory(resources);
  made.directory(resources + "rwTestSub");
  made.directory(resources + "d.rwtest");
  for (const char* name : {"rwTestResource.txt", "rwTestSub/inner.txt", "b.rwtest", "a.rwtest",
                           "c.rwtestx", ".rwtest"})
    made.file(resources + name);
  made.file(app + "rwTestOutside.txt");

  EXPECT_EQ(resources + "rwTestResource.txt", tFileUtils::getResourcePath("rwTestResource.txt"));
  const char* missing[] = {"rwTestMissing.txt", "../rwTestOutside.txt", "..",
                           "rwTestSub/inner.txt", "rwTestSub", "/etc/passwd", "",
                           "./rwTestResource.txt", "..rwTestResource.txt"};
  for (const char* name : missing) EXPECT_EQ("ERROR!", tFileUtils::getResourcePath(name)) << name;

  std::vector<std::string> out = {"kept"};
  EXPECT_EQ(2u, tFileUtils::getResourcesOfType("rwtest", out));
  EXPECT_EQ((std::vector<std::string>{"kept", resources + "a.rwtest", resources + "b.rwtest"}),
            out);
  std::vector<std::string> dotted;
  EXPECT_EQ(2u, tFileUtils::getResourcesOfType(".rwtest", dotted));
}

TEST(tFileUtilsTest, ListingsIncludeEveryEntryAndFiltersKeepOnlyWholeMatches) {
  tScratchDirectory dir;
  for (const char* name : {"run_1.tga", "run_2.txt", "Run-3.tga", "notes.md", "run_1.tga.bak",
                           "a.b.txt", "run 4.txt"})
    writeRaw(dir / name, "");
  ASSERT_EQ(0, mkdir((dir / "dir.txt").c_str(), 0777));
  std::vector<std::string> all = {"before"};
  tFileUtils::getFilesInDirectory(dir.path(), all);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ("before", all[0]);
  EXPECT_EQ((std::vector<std::string>{".", "..", "Run-3.tga", "a.b.txt", "before", "dir.txt",
                                      "notes.md", "run 4.txt", "run_1.tga", "run_1.tga.bak",
                                      "run_2.txt"}),
            sorted(all));

  std::vector<std::string> out = {"old.tga", "old.md"};
  tFileUtils::filterFilesInDirectory(dir.path(), out, "(a-z|A-Z|0|1-9|\\-|_)+.(txt|tga)");
  ASSERT_FALSE(out.empty());
  EXPECT_EQ("old.tga", out[0]);
  EXPECT_EQ((std::vector<std::string>{"Run-3.tga", "dir.txt", "old.tga", "run_1.tga",
                                      "run_2.txt"}),
            sorted(out));

  std::vector<std::string> none = {"a"};
  tFileUtils::filterFilesInDirectory(dir.path(), none, "(a");
  tFileUtils::getFilesInDirectory(dir / "missing", none);
  tFileUtils::getFilesInDirectory(dir / "run_1.tga", none);
  EXPECT_TRUE(none.empty());
}

TEST(tFileUtilsTest, MakeDirectoryCreatesEveryMissingLevelOnce) {
  const std::string app = tFileUtils::getApplicationDirectory();
  tAppFolderFiles made;
  for (const char* level : {"out", "out/batch", "rwTestA", "rwTestA/b"})
    made.expectDirectory(app + level);
  EXPECT_TRUE(tFileUtils::makeDirectory("out/batch"));
  made.file(app + "out/batch/keep.txt");
  EXPECT_TRUE(tFileUtils::makeDirectory("out/batch"));
  EXPECT_EQ("x", readRaw(app + "out/batch/keep.txt"));

  EXPECT_TRUE(tFileUtils::makeDirectory("rwTestA//b/"));
  EXPECT_TRUE(pathExists(app + "rwTestA/b"));
  EXPECT_TRUE(tFileUtils::makeDirectory(""));

  made.file(app + "rwTestA/plain");
  EXPECT_FALSE(tFileUtils::makeDirectory("rwTestA/plain/c"));
  EXPECT_FALSE(pathExists(app + "rwTestA/plain/c"));
}
