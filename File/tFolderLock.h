#ifndef ROOTWEAVER_FILE_TFOLDERLOCK_H
#define ROOTWEAVER_FILE_TFOLDERLOCK_H

#include <string>

// An advisory lock on a folder that processes write into, so that two of
// them never interleave their appends there: a POSIX record lock (fcntl) on
// the whole of the lock file ".rootweaver-lock" inside it, which the kernel
// can name the holder of, and which network file systems honour. Shards of
// one sweep share the folder (each holds a read lock); a whole run or a
// merge holds it alone (a write lock). A process that cannot have the lock
// does not wait: it is told at once, with the pid of a holder.
//
// The lock file is removed by the last holder, so that a folder looks the
// same before and after a run. Removing a lock file races with a process
// that opened it just before; taking the lock therefore checks that the
// file locked is still the one at the lock file's name, and starts again
// when it is not. The kernel drops the lock of a process that dies, so a
// lock file left by a killed process stands in nobody's way. A record lock
// belongs to the process and ends when it closes any descriptor of the
// file, so a process holds at most one tFolderLock on a folder.
class tFolderLock {
 public:
  enum KIND { SHARED, EXCLUSIVE };

  tFolderLock() = default;
  ~tFolderLock();
  tFolderLock(const tFolderLock&) = delete;
  tFolderLock& operator=(const tFolderLock&) = delete;

  // Takes the lock on the folder (ending in "/"); false, with a message
  // naming the holder in error, when another process holds it. A folder
  // where no lock file can be made (read-only, missing) is not locked, and
  // true is returned: nothing can be written there to interleave.
  bool take(const std::string& folder, KIND kind, std::string& error);
  // Gives the lock up; the destructor does it too.
  void release();

  static constexpr const char* FILE_NAME = ".rootweaver-lock";

 private:
  int descriptor_ = -1;  // the lock file held; -1 for none
  std::string path_;     // its path
  KIND kind_ = SHARED;   // how it is held
};

#endif
