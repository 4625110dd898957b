#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"

namespace {

// Files made inside the test program's own folder, removed again at the end.
// Directories are removed with rmdir, which never takes anything it did not
// create along with it.
class tAppFolderFiles {
 public:
  ~tAppFolderFiles() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) unlink(it->c_str());
    for (auto it = directories_.rbegin(); it != directories_.rend(); ++it) rmdir(it->c_str());
  }
  void directory(const std::string& path) {
    if (!pathExists(path) && mkdir(path.c_str(), 0777) == 0) directories_.push_back(path);
  }
  void file(const std::string& path) {
    writeRaw(path, "x");
    files_.push_back(path);
  }
  // Marks a directory that the code under test will create.
  void expectDirectory(const std::string& path) {
    if (!pathExists(path)) directories_.push_back(path);
  }

 private:
  std::vector<std::string> files_;        // files to unlink, in creation order
  std::vector<std::string> directories_;  // directories to rmdir, in creation order
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
  for (const char* path : {"a/b", "./a", ""}) EXPECT_FALSE(tFileUtils::isCompletePath(path)) << path;
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
  made.file(resources + "rwTestResource.txt");
  made.file(resources + "rwTestSub/inner.txt");
  made.file(app + "rwTestOutside.txt");

  EXPECT_EQ(resources + "rwTestResource.txt", tFileUtils::getResourcePath("rwTestResource.txt"));
  const char* missing[] = {"rwTestMissing.txt", "../rwTestOutside.txt", "..",
                           "rwTestSub/inner.txt", "rwTestSub", "/etc/passwd", "",
                           "./rwTestResource.txt", "..rwTestResource.txt"};
  for (const char* name : missing) EXPECT_EQ("ERROR!", tFileUtils::getResourcePath(name)) << name;

  made.file(resources + "b.rwtest");
  made.file(resources + "a.rwtest");
  made.file(resources + "c.rwtestx");
  made.file(resources + ".rwtest");
  made.directory(resources + "d.rwtest");
  std::vector<std::string> out = {"kept"};
  EXPECT_EQ(2u, tFileUtils::getResourcesOfType("rwtest", out));
  EXPECT_EQ((std::vector<std::string>{"kept", resources + "a.rwtest", resources + "b.rwtest"}),
            out);
  std::vector<std::string> dotted;
  EXPECT_EQ(2u, tFileUtils::getResourcesOfType(".rwtest", dotted));
}

TEST(tFileUtilsTest, DirectoryListingsIncludeEveryEntry) {
  tScratchDirectory dir;
  writeRaw(dir / "x.txt", "");
  writeRaw(dir / "y", "");
  ASSERT_EQ(0, mkdir((dir / "sub").c_str(), 0777));
  std::vector<std::string> out = {"before"};
  tFileUtils::getFilesInDirectory(dir.path(), out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ("before", out[0]);
  EXPECT_EQ((std::vector<std::string>{".", "..", "before", "sub", "x.txt", "y"}), sorted(out));

  std::vector<std::string> none;
  tFileUtils::getFilesInDirectory(dir / "missing", none);
  tFileUtils::getFilesInDirectory(dir / "x.txt", none);
  EXPECT_TRUE(none.empty());
}

TEST(tFileUtilsTest, FilterKeepsOnlyWholeMatches) {
  tScratchDirectory dir;
  for (const char* name : {"run_1.tga", "run_2.txt", "Run-3.tga", "notes.md", "run_1.tga.bak",
                           "a.b.txt", "run 4.txt"})
    writeRaw(dir / name, "");
  ASSERT_EQ(0, mkdir((dir / "dir.txt").c_str(), 0777));

  std::vector<std::string> out = {"old.tga", "old.md"};
  tFileUtils::filterFilesInDirectory(dir.path(), out, "(a-z|A-Z|0|1-9|\\-|_)+.(txt|tga)");
  ASSERT_FALSE(out.empty());
  EXPECT_EQ("old.tga", out[0]);
  EXPECT_EQ((std::vector<std::string>{"Run-3.tga", "dir.txt", "old.tga", "run_1.tga",
                                      "run_2.txt"}),
            sorted(out));

  std::vector<std::string> rejected = {"a"};
  tFileUtils::filterFilesInDirectory(dir.path(), rejected, "(a");
  EXPECT_TRUE(rejected.empty());
}

TEST(tFileUtilsTest, MakeDirectoryCreatesEveryMissingLevelOnce) {
  const std::string app = tFileUtils::getApplicationDirectory();
  tAppFolderFiles made;
  made.expectDirectory(app + "out");
  made.expectDirectory(app + "out/batch");
  EXPECT_TRUE(tFileUtils::makeDirectory("out/batch"));
  EXPECT_TRUE(pathExists(app + "out/batch"));
  writeRaw(app + "out/batch/keep.txt", "kept");
  EXPECT_TRUE(tFileUtils::makeDirectory("out/batch"));
  EXPECT_EQ("kept", readRaw(app + "out/batch/keep.txt"));
  unlink((app + "out/batch/keep.txt").c_str());

  made.expectDirectory(app + "rwTestA");
  made.expectDirectory(app + "rwTestA/b");
  EXPECT_TRUE(tFileUtils::makeDirectory("rwTestA//b/"));
  EXPECT_TRUE(pathExists(app + "rwTestA/b"));
  EXPECT_TRUE(tFileUtils::makeDirectory(""));

  made.file(app + "rwTestA/plain");
  EXPECT_FALSE(tFileUtils::makeDirectory("rwTestA/plain/c"));
  EXPECT_FALSE(pathExists(app + "rwTestA/plain/c"));
}
