// Files and folders of a prefix machine, on host paths.
//
// The prefix machine maps a Windows path to a host path and hands it here.
// These functions give the host file system the Windows behaviour the
// programs expect: attribute bits, FILETIME times, read-only files that
// refuse writing, moves that replace. Failures come back as an error number
// (errno or one of ours below), turned into text in one place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/machine.h"

namespace zq {

// Our error numbers beside errno's (negative so they never collide).
enum HostError : int {
  kErrNotRegularFile = -1,  // a device, pipe or socket where a file was wanted
  kErrUnmappedPath = -2,    // the Windows path has no host path
  kErrFolderAcrossDrives = -3,
};

// The one translation of error numbers into reason texts.
std::string hostErrorText(int error);

// FILETIME (100 ns since 1601-01-01 UTC) from Unix seconds and nanoseconds,
// and back. Times before 1601 become 0.
uint64_t fileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
void unixFromFileTime(uint64_t fileTime, int64_t& seconds, uint32_t& nanoseconds);

// Opens a regular file (never a device or pipe, which could block or never
// end). Write refuses a read-only file, as Windows does.
std::unique_ptr<File> openHostFile(const std::string& path, OpenMode mode, int& error);

// Links are followed; hidden-ness also follows from the last component's name.
bool hostFileInfo(const std::string& path, FileInfo& out);
// Entries sorted by name (upper-cased, then as stored); entries that cannot
// be read (a dangling link) are left out.
bool listHostFolder(const std::string& path, std::vector<FolderEntry>& out);

bool createHostFolder(const std::string& path, int& error);
bool removeHostFolder(const std::string& path, int& error);
bool deleteHostFile(const std::string& path, int& error);
// Replaces an existing target file; a folder never replaces anything. Files
// move across devices by copy and delete; folders do not.
bool moveHostFile(const std::string& from, const std::string& to, int& error);

// Read-only lives in the file's mode (owner write bit); the other bits are
// kept in the extended attribute "user.DOSATTRIB" where the file system has
// them, else they are derived (archive for files, hidden for dot names).
bool setHostAttributes(const std::string& path, uint32_t attributes, int& error);
// A zero time is left unchanged; the creation time cannot be set on the host
// and is ignored.
bool setHostTimes(const std::string& path, uint64_t write, uint64_t access, int& error);

}  // namespace zq
