// File and folder helpers: existence checks, 64-bit file input and output,
// copy, move, delete, attributes and times. Paths are wide Windows paths and
// everything goes through the current machine (core/machine.h). Nothing here
// shows a message: failures are false, 0, -1 or an empty result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/machine.h"

namespace zq {

// ---------------------------------------------------------------- names

// True for the device names the programs must never open as files: exactly
// "COM1".."COM4", "LPT1".."LPT9" or "AUX", or a path ending in "\COM1".."\COM4",
// "\LPT1".."\LPT9" or "\AUX" (letter case ignored). False under 3 characters.
bool isDeviceName(std::u16string_view p);

// ---------------------------------------------------------------- folders

// True for a bare drive text ("C:" or "C:\") without asking the disk;
// otherwise true when p, without its trailing "\", names an existing folder.
bool folderExists(std::u16string_view p);

// Creates p and every missing parent. True when p exists afterwards.
bool forceFolders(std::u16string_view p);

// False for device names; otherwise true when p names an existing entry that
// is not a folder.
bool fileExists(std::u16string_view p);

// True when the volume of the given root ("C:\", "C:", "C:\any\path")
// reports the file system "NTFS".
bool isNtfsVolume(std::u16string_view root);

// ---------------------------------------------------------------- open files

// An open file: the machine's file plus the mode it was opened in. Closed by
// closeFile or when it goes away.
struct tfile {
  std::unique_ptr<File> handle;
  OpenMode mode = OpenMode::Read;
  bool isOpen() const { return handle != nullptr; }
};

// Creates the parent folders, then creates or truncates the file for writing.
bool openForWrite(tfile& file, std::u16string_view path);
// Opens an existing file for reading (shared with other readers).
bool openForRead(tfile& file, std::u16string_view path);
// Opens an existing file for writing and sets the position; position 0 means
// the end of the file. False, with the file closed, when positioning fails.
bool openForAppend(tfile& file, std::u16string_view path, uint64_t position);

// Reads up to count bytes; stores the number read in count and returns it
// (0 at the end, on failure or for a closed file).
size_t readBlock(tfile& file, void* buffer, size_t& count);
// seekTo(position), then readBlock; 0 (and count 0) when positioning fails.
size_t readAt(tfile& file, void* buffer, size_t& count, uint64_t position);
// True only when all count bytes were written.
bool writeBlock(tfile& file, const void* buffer, size_t count);
// Closes the file. False when a pending write failed (a full disk); closing
// a closed file is true.
bool closeFile(tfile& file);

// Current position; 0 for a closed file.
uint64_t filePosition(const tfile& file);
// Size of an open file; -1 when it cannot be read.
int64_t fileSizeOf(const tfile& file);
// True when the position is at or beyond the size (also for a closed file).
bool atEndOfFile(const tfile& file);
// Sets the position from the start; true on success.
bool seekTo(tfile& file, uint64_t position);

// ---------------------------------------------------------------- entries

// The full 64-bit size of a file; -1 when it cannot be found, is a folder or
// its size is 0.
int64_t sizeOfFile(std::u16string_view path);

// Date-times of the entry (days since 1899-12-30, local time, 2-second
// resolution); 0 when they cannot be read.
double creationTimeOf(std::u16string_view path);
double writeTimeOf(std::u16string_view path);
double accessTimeOf(std::u16string_view path);

// Attribute bits; 0 when they cannot be read.
uint32_t attributesOf(std::u16string_view path);
bool setAttributesOf(std::u16string_view path, uint32_t attributes);

// ---------------------------------------------------------------- whole files

// Renames or moves a file or folder; true on success.
bool moveFile(std::u16string_view from, std::u16string_view to);
// Deletes a file; true on success.
bool deleteFile(std::u16string_view path);
// Creates the destination's folders, then copies, replacing an existing
// destination; the copy gets the source's attributes and times. A file is
// never copied onto itself, and a failed copy leaves no partial destination.
bool copyFile(std::u16string_view from, std::u16string_view to);

// Replaces a small file of the program's own (settings files such as
// "manual.zvb"): the bytes go to "<path>.tmp" first, which is moved over the
// old file only when complete, so a failed save leaves the previous file.
// False with a reason on failure.
bool replaceFileContents(std::u16string_view path, std::string_view bytes, std::string& error);

// Reads a whole file of at most maxSize bytes; false with a reason when it
// cannot be opened or read whole, or is larger.
bool readWholeFile(std::u16string_view path, uint64_t maxSize, std::string& bytes,
                   std::string& error);

}  // namespace zq
