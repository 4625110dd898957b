#include <gtest/gtest.h>

#include <string>

#include "File/tFileUtils.h"

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
