#ifndef ROOTWEAVER_FILE_TFILEUTILS_H
#define ROOTWEAVER_FILE_TFILEUTILS_H

#include <cstdint>
#include <string>
#include <vector>

// Paths, directories and the application's resources. The application
// directory is the one that holds the running executable. As built, it is a
// self-contained folder: its "resources/" subdirectory holds the resources
// and the settings, and relative output paths hang off it. Installed
// (<prefix>/bin/rootweaver), the program may not write where it lies: it
// reads its files from <prefix>/share/rootweaver/, keeps its settings in
// $XDG_CONFIG_HOME/rootweaver/ and writes below the current directory.
// Every operation fails quietly: nothing created, nothing listed.
class tFileUtils {
 public:
  // Directory of the executable with "/" appended.
  static std::string getApplicationDirectory();
  // Whether the program runs installed: the executable lies in a folder
  // named bin beside share/rootweaver/, and has no resources/ folder beside
  // it (which a copied application folder always has).
  static bool isInstalled();
  // Where the program's own files lie (resources/, Shared Functions/,
  // examples/), with "/" appended: the application directory, or
  // <prefix>/share/rootweaver/ when installed.
  static std::string getDataDirectory();
  // <data directory>resources/
  static std::string getResourceDirectory();
  // Where the settings file is kept, with "/" appended: the resource
  // directory, or $XDG_CONFIG_HOME/rootweaver/ (~/.config/rootweaver/ when
  // the variable is unset or not absolute) when installed; empty when
  // installed and neither variable holds an absolute path.
  static std::string getSettingsDirectory();
  // The installed program's settings directory for the values of
  // XDG_CONFIG_HOME and HOME (null when unset); empty when neither is an
  // absolute path.
  static std::string getConfigDirectory(const char* configHome, const char* home);
  // Where relative output paths hang off, with "/" appended: the directory
  // set, else the application directory, or the current directory when
  // installed.
  static std::string getOutputDirectory();
  // Sets the output directory (made absolute from the current directory);
  // empty goes back to the default.
  static void setOutputDirectory(const std::string& directory);
  // Where a script's _outputDir puts its files, ending in "/": the output
  // directory for an empty one, the path as given when absolute, else the
  // path below the output directory.
  static std::string getOutputPath(const std::string& outputDir);
  // Appends the name of every entry of the directory in listing order, "."
  // and ".." and subdirectories included; out is not cleared.
  static void getFilesInDirectory(const std::string& directory, std::vector<std::string>& out);

  // Creates each missing level of a "/"-separated path, absolute or relative
  // to the working directory. Returns whether the directory exists afterwards.
  static bool makePath(const std::string& path);

  // The part after the last "/", or the whole path.
  static std::string getFilenameFromPath(const std::string& path);
  // Whether the path begins with "/".
  static bool isCompletePath(const std::string& path);
  // Whether the file dialogs list the file at path as one of the type given
  // by extension (without its dot): the file's own name is at least one
  // character followed by "." and the extension, in any case of ASCII
  // letters; whatever else the name or its folders hold. A path holding a
  // control character is never listed, since it could neither be shown nor
  // kept in the settings.
  static bool isFileOfType(const std::string& path, const std::string& extension);

  // Largest file that readers take in whole (scripts, function files).
  static constexpr std::uint64_t MAX_READ_SIZE = std::uint64_t(64) << 20;
  // Why the file at path must not be read whole: "not a regular file" for a
  // device, pipe, socket or directory, which can be read forever or block the
  // reader, and "larger than 64 MiB" for a file that would take too much
  // memory. Empty when reading may go ahead; a path that names nothing is
  // left for the opening to fail.
  static std::string getReadRefusal(const std::string& path);
  // Appends the bytes of the file at path to `bytes`; false when it cannot be
  // read or `bytes` would grow past `limit`.
  static bool readBytes(const std::string& path, std::string& bytes,
                        std::uint64_t limit = UINT64_MAX);
  // Reads the whole of a regular file that is no symbolic link into bytes,
  // which it replaces; anything else is refused without being opened for
  // reading, as a pipe could block the reader for ever. False, with the
  // reason in error, when it is not such a file, cannot be read or holds
  // more than limit bytes.
  static bool readRegularFile(const std::string& path, std::string& bytes, std::uint64_t limit,
                              std::string& error);
};

#endif
