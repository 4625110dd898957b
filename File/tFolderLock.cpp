#include "File/tFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The pid a holder wrote; 0 when none can be read.
long holderOf(int descriptor) {
  char text[16] = {};
  if (pread(descriptor, text, sizeof text - 1, 0) <= 0) return 0;
  return std::strtol(text, nullptr, 10);
}

// Whether the open file is still the one at the path.
bool isAtPath(int descriptor, const std::string& path) {
  struct stat held, named;
  return fstat(descriptor, &held) == 0 && lstat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

tFolderLock::~tFolderLock() { release(); }

bool tFolderLock::take(const std::string& folder, KIND kind, std::string& error) {
  release();
  const std::string path = folder + FILE_NAME;
  for (int attempt = 0; attempt < 100; ++attempt) {
    int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    // Another user's lock file locks as well when it can only be read.
    if (descriptor < 0 && errno == EACCES)
      descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) return true;
    if (flock(descriptor, (kind == EXCLUSIVE ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      const long holder = holderOf(descriptor);
      close(descriptor);
      error = folder + " is in use by another rootweaver" +
              (holder > 0 ? " (pid " + std::to_string(holder) + ")" : std::string()) +
              "; wait for it to end";
      return false;
    }
    if (!isAtPath(descriptor, path)) {
      close(descriptor);
      continue;
    }
    // A fixed width, so that shards writing at once leave one whole pid.
    // The pid only serves the messages of others, so a failed write is let
    // be.
    char pid[16];
    const int length = std::snprintf(pid, sizeof pid, "%10ld\n", static_cast<long>(getpid()));
    const ssize_t written = pwrite(descriptor, pid, static_cast<std::size_t>(length), 0);
    static_cast<void>(written);
    descriptor_ = descriptor;
    path_ = path;
    kind_ = kind;
    return true;
  }
  error = "cannot lock " + path;
  return false;
}

void tFolderLock::release() {
  if (descriptor_ < 0) return;
  // A shared holder is the last one when it can have the lock alone.
  if (kind_ == EXCLUSIVE || flock(descriptor_, LOCK_EX | LOCK_NB) == 0) unlink(path_.c_str());
  close(descriptor_);
  descriptor_ = -1;
}
