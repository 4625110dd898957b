#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"

namespace {

// Paths made inside the test program's own folder, removed in reverse order
// at the end; std::filesystem::remove takes only files and empty directories,
// so nothing that was there before goes with them.
struct tAppFolderFiles {
  ~tAppFolderFiles() {
    std::error_code ignored;
    for (auto it = made.rbegin(); it != made.rend(); ++it) std::filesystem::remove(*it, ignored);
  }
  void directory(const std::string& path) {
    if (!pathExists(path) && mkdir(path.c_str(), 0777) == 0) made.push_back(path);
  }
  void file(const std::string& path) {
    writeRaw(path, "x");
    made.push_back(path);
  }
  std::vector<std::string> made;  // in creation order
};

}  // namespace

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
}

// What the file dialogs list: the file's own name decides, by its extension.
TEST(tFileUtilsTest, FilesOfATypeAreKnownByTheirOwnNamesExtension) {
  const struct {
    const char* path;
    const char* extension;
    bool listed;
  } rows[] = {
      {"/home/u/my.project/cubic.func", "func", true}, {"/a/cubic.v2.func", "func", true},
      {"/a/c++ (copy).func", "func", true},            {"/a/~cubic~.func", "func", true},
      {"/a/fonction-\xc3\xa9t\xc3\xa9.func", "func", true},
      {"/home/j\xc3\xbcrgen/Skripte/\xc3\x9c.blam", "blam", true},
      {"/a/CUBIC.FUNC", "func", true},                 {"/a/sweep.Blam", "blam", true},
      {"x.func", "func", true},                        {"/a/cubic.func~", "func", false},
      {"/a/cubic.func.bak", "func", false},            {"/a/.func", "func", false},
      {"/a/func", "func", false},                      {"/a/cubicfunc", "func", false},
      {"/a/cubic.funcs", "func", false},               {"/a/sweep.blam", "func", false},
      {"/a/sweep.func/notes", "func", false},          {"/a/c\x01ubic.func", "func", false},
      {"/a\tb/cubic.func", "func", false},             {"", "func", false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.listed, tFileUtils::isFileOfType(row.path, row.extension)) << row.path;
}

// Installed, the settings live below XDG_CONFIG_HOME or HOME when one is an
// absolute path, and nowhere otherwise (never below the root folder).
TEST(tFileUtilsTest, InstalledSettingsNeedAnAbsoluteConfigOrHomeFolder) {
  const struct {
    const char* configHome;
    const char* home;
    const char* directory;
  } rows[] = {{"/c", "/h", "/c/rootweaver/"},
              {"c", "/h", "/h/.config/rootweaver/"},
              {nullptr, "/h", "/h/.config/rootweaver/"},
              {nullptr, nullptr, ""},
              {"", "", ""},
              {"c", "h", ""}};
  for (const auto& row : rows)
    EXPECT_EQ(row.directory, tFileUtils::getConfigDirectory(row.configHome, row.home))
        << (row.configHome ? row.configHome : "unset") << " " << (row.home ? row.home : "unset");
}
