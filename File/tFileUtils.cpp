#include "File/tFileUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "lexer/tStringUtils.h"

namespace {

// The folder of an installed program's own files, below its prefix.
const char kInstalledData[] = "share/rootweaver";

std::mutex outputMutex;       // guards outputDirectory
std::string outputDirectory;  // the output directory set; empty for the default

bool isDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string readExecutablePath() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", &path[0], path.size());
    if (length < 0) return "";
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The working directory with "/" appended; "./" when it cannot be read.
std::string currentDirectory() {
  std::string path(256, '\0');
  while (!getcwd(&path[0], path.size())) {
    if (errno != ERANGE) return "./";
    path.resize(path.size() * 2);
  }
  path.resize(std::strlen(path.c_str()));
  return path == "/" ? path : path + "/";
}

// Creates each missing level of relativePath below base, which is empty or
// ends in "/"; whether the directory exists afterwards.
bool makeDirectoryBelow(const std::string& base, const std::string& relativePath) {
  std::string current = base;
  std::string::size_type start = 0;
  for (;;) {
    std::string::size_type slash = relativePath.find('/', start);
    std::string component = relativePath.substr(start, slash - start);
    if (!component.empty()) {
      current += component;
      // A level that is already there is fine: the walk goes on inside it.
      mkdir(current.c_str(), 0777);
      current += "/";
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return isDirectory(current);
}

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string tFileUtils::getApplicationDirectory() {
  // The executable does not move while it runs.
  static const std::string directory = [] {
    std::string exe = readExecutablePath();
    std::string::size_type slash = exe.rfind('/');
    return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
  }();
  return directory;
}

bool tFileUtils::isInstalled() {
  static const bool installed = [] {
    const std::string bin = getApplicationDirectory();
    const std::string::size_type slash = bin.rfind('/', bin.size() - 2);
    if (slash == std::string::npos || bin.compare(slash, std::string::npos, "/bin/") != 0)
      return false;
    return isDirectory(bin.substr(0, slash + 1) + kInstalledData) &&
           !isDirectory(bin + "resources");
  }();
  return installed;
}

std::string tFileUtils::getDataDirectory() {
  if (!isInstalled()) return getApplicationDirectory();
  const std::string bin = getApplicationDirectory();
  return bin.substr(0, bin.rfind('/', bin.size() - 2) + 1) + kInstalledData + "/";
}

std::string tFileUtils::getResourceDirectory() { return getDataDirectory() + "resources/"; }

std::string tFileUtils::getSettingsDirectory() {
  if (!isInstalled()) return getResourceDirectory();
  return getConfigDirectory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string tFileUtils::getConfigDirectory(const char* configHome, const char* home) {
  if (configHome && configHome[0] == '/') return std::string(configHome) + "/rootweaver/";
  if (!home || home[0] != '/') return "";
  return std::string(home) + "/.config/rootweaver/";
}

std::string tFileUtils::getOutputDirectory() {
  std::lock_guard<std::mutex> lock(outputMutex);
  if (!outputDirectory.empty()) return outputDirectory;
  return isInstalled() ? currentDirectory() : getApplicationDirectory();
}

void tFileUtils::setOutputDirectory(const std::string& directory) {
  std::string absolute = directory;
  if (!absolute.empty() && absolute[0] != '/') absolute = currentDirectory() + absolute;
  if (!absolute.empty() && absolute.back() != '/') absolute += "/";
  std::lock_guard<std::mutex> lock(outputMutex);
  outputDirectory = absolute;
}

std::string tFileUtils::getOutputPath(const std::string& outputDir) {
  if (outputDir.empty()) return getOutputDirectory();
  const std::string path = isCompletePath(outputDir) ? outputDir : getOutputDirectory() + outputDir;
  return path.back() == '/' ? path : path + "/";
}

void tFileUtils::getFilesInDirectory(const std::string& directory, std::vector<std::string>& out) {
  DIR* dir = opendir(directory.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) out.push_back(entry->d_name);
  closedir(dir);
}

bool tFileUtils::makePath(const std::string& path) {
  return makeDirectoryBelow(isCompletePath(path) ? "/" : "", path);
}

std::string tFileUtils::getFilenameFromPath(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool tFileUtils::isCompletePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

bool tFileUtils::isFileOfType(const std::string& path, const std::string& extension) {
  if (tStringUtils::hasControlCharacter(path)) return false;
  const std::string name = tStringUtils::toLower(getFilenameFromPath(path));
  const std::string suffix = "." + tStringUtils::toLower(extension);
  return name.size() > suffix.size() && endsWith(name, suffix);
}

std::string tFileUtils::getReadRefusal(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return "";
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  if (static_cast<std::uint64_t>(info.st_size) > MAX_READ_SIZE) return "larger than 64 MiB";
  return "";
}

bool tFileUtils::readRegularFile(const std::string& path, std::string& bytes,
                                 std::uint64_t limit, std::string& error) {
  bytes.clear();
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  // Opened without following a link and without waiting, then checked
  // again: the name may have been given to a pipe in between.
  const int descriptor =
      S_ISREG(info.st_mode) ? open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC) : -1;
  if (descriptor < 0 || fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (descriptor >= 0) close(descriptor);
    error = path + " is not a regular file";
    return false;
  }
  bool tooLarge = static_cast<std::uint64_t>(info.st_size) > limit;
  bool failed = false;
  char buffer[65536];
  while (!tooLarge && !failed) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count == 0) break;
    failed = count < 0 && errno != EINTR;
    if (count <= 0) continue;
    tooLarge = bytes.size() + static_cast<std::uint64_t>(count) > limit;
    if (!tooLarge) bytes.append(buffer, static_cast<std::size_t>(count));
  }
  close(descriptor);
  if (tooLarge) error = "cannot read " + path + ": larger than " + std::to_string(limit) + " bytes";
  if (failed) error = "cannot read " + path;
  return !tooLarge && !failed;
}

bool tFileUtils::readBytes(const std::string& path, std::string& bytes, std::uint64_t limit) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  std::size_t count;
  while (bytes.size() <= limit && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.append(buffer, count);
  const bool read = !std::ferror(file) && bytes.size() <= limit;
  std::fclose(file);
  return read;
}
