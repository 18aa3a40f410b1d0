#pragma once

// The one way the program and its components write a file: every save of a
// performance file, of kelvane.dat and of the component registry goes
// through writeFileSafely. Plain C++ and POSIX, no Qt, so the joystick
// component links it too (it is built position-independent with hidden
// symbols, and the component exports none of it).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kelvane::files {

// Why a write did not happen. Every failure leaves the old file as it was,
// byte for byte, and no temporary file behind.
enum class WriteFailure {
    None, // written
    NoFileName, // the path is empty
    UnfollowableLink, // the path is a symbolic link that leads nowhere one can write (a loop)
    IsAFolder, // a folder stands where the file should be (or the path ends in '/')
    NotAFile, // something else stands there: a device, a pipe, a socket
    ReadOnlyFile, // the file has no write permission for anyone: refused even for the superuser
    FileNotWritable, // this user may not write the file
    FolderNotWritable, // the folder is missing or this user may not create a file in it
    CannotCreateTemporary, // the folder refused the temporary file all the same (full, quota, ...)
    CannotKeepPermissions, // the old file's permission bits could not be given to the new one
    CannotWrite, // writing the bytes failed (a full disk, a file size limit, an I/O error)
    CannotFlush, // the bytes did not reach the disk (fsync or close failed)
    CannotReplace, // the finished file could not be renamed over the old one
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    // The system's error number of the call that failed (EACCES, ENOSPC,
    // ...); for ReadOnlyFile EACCES, for IsAFolder EISDIR, for NotAFile
    // EINVAL, for NoFileName ENOENT. 0 on success.
    int error = 0;
    // The path as the caller gave it.
    std::string path;
    // The file that was (or was to be) replaced: the path with symbolic links
    // followed. Equal to path when path is no link.
    std::string target;
    // The folder of target, where the temporary file is made.
    std::string folder;

    bool ok() const { return failure == WriteFailure::None; }
    // The system's words for error ("Permission denied", "No space left on
    // device"); for ReadOnlyFile "Permission denied (the file is read-only)",
    // for NotAFile "Not an ordinary file". Empty on success.
    std::string reason() const;
    // One sentence naming the file and the reason, for a caller with no
    // messages of its own: "Cannot write /a/b.dat: No space left on device."
    // Empty on success.
    std::string message() const;
};

// Replaces the file at path with bytes, so that at every moment the file on
// disk is the old one or the new one, whole, whatever happens to the process
// or the machine:
//
//  - A symbolic link is followed (link after link): the file it names is
//    replaced and the link stays. A link to a file that does not exist yet
//    creates that file.
//  - Refused before anything is written, with the old file unchanged: a file
//    without any write permission bit (for everyone, the superuser too: who
//    made it read-only meant it), a file or folder this user may not write
//    (the kernel's own check, so the superuser passes where only its
//    privileges let it), a folder where the file should be, a folder that
//    does not exist. The folder is not created.
//  - The bytes go to a temporary file beside the target, named
//    ".NAME.saving-PID-N" (NAME the target's name, PID this process, N a
//    count); it gets the old file's owner and group where this process may
//    set them (each alone: a user who may keep only the group keeps the group)
//    and the old file's permission bits; a new file gets 0666 less the umask.
//    It is written, flushed (fsync), closed, renamed over the target, and the
//    folder is flushed so the rename itself is on the disk. (A failure of that
//    last flush is not reported: the file in place is whole either way.)
//  - Before writing, temporary files that earlier saves of the same target
//    left when they were killed are removed: names of the pattern above,
//    beside the target, whose process no longer exists and whose file no
//    process holds locked. The writer holds a lock on its own temporary file
//    while it writes, so a live save in another process, even one this
//    process cannot see (another PID namespace, another host on a shared
//    folder), keeps its file.
//
// Blocking: it waits for the disk (fsync), so it never belongs on a thread that
// must answer at once (the audio callback, a press). Thread-safe: saves of
// different files may run at the same time; saves of the same file may too, and
// the last rename wins, each whole.
//
// Not kept: extended attributes and ACLs, and hard links (another name of the
// old file keeps the old contents).
WriteResult writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);
WriteResult writeFileSafely(const std::string& path, std::string_view text);

// Where a path leads once its symbolic links are followed, as
// writeFileSafely follows them: for callers that need the target's folder
// before they write (to create it, or to lock it).
struct LinkTarget {
    std::string path; // the file a write replaces; empty when error is set
    int error = 0; // ELOOP for links that go round, another errno when a link cannot be read
};
LinkTarget followLinks(const std::string& path);

} // namespace kelvane::files
