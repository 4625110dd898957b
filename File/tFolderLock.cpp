#include "File/tFolderLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// Sets or asks about a lock of the given type on the whole file.
int lockWhole(int descriptor, int command, short type, long& holder) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  const int result = fcntl(descriptor, command, &lock);
  holder = lock.l_type == F_UNLCK ? 0 : lock.l_pid;
  return result;
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
    // Another user's lock file that can only be read still takes a read
    // lock, and tells who holds a write lock.
    if (descriptor < 0 && errno == EACCES)
      descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) return true;
    const short type = kind == EXCLUSIVE ? F_WRLCK : F_RDLCK;
    long holder = 0;
    if (lockWhole(descriptor, F_SETLK, type, holder) != 0) {
      const int code = errno;
      if (code == EACCES || code == EAGAIN) {
        lockWhole(descriptor, F_GETLK, type, holder);
        error = folder + " is in use by another rootweaver" +
                (holder > 0 ? " (pid " + std::to_string(holder) + ")" : std::string()) +
                "; wait for it to end";
      } else {
        error = "cannot lock " + path + ": " + std::strerror(code);
      }
      close(descriptor);
      return false;
    }
    if (!isAtPath(descriptor, path)) {
      close(descriptor);
      continue;
    }
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
  // A shared holder is the last one when it can have the lock alone; a
  // record lock is upgraded in one step or not at all.
  long holder = 0;
  if (kind_ == EXCLUSIVE || lockWhole(descriptor_, F_SETLK, F_WRLCK, holder) == 0)
    unlink(path_.c_str());
  close(descriptor_);
  descriptor_ = -1;
}
