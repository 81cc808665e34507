// Path records and locations: how the file layer names a place, whether it is a file or folder on a
// Windows drive, an entry of a chunk archive kept in a disk file (an archive file is browsed as a
// folder), an entry of an archive nested in another entry, or an entry of a mounted volume.
//
// Path texts separate components with "/"; each component is in the escaped form of archive names
// ("%" and two hexadecimal digits stand for a byte). A text that begins with "/" is absolute and its
// first component names a volume: "/C/Windows" is the Windows folder of drive C. Walking a text from
// its base, components are added to the disk path while the location is a disk folder, and become
// archive components once it is a file on disk (which must then be a chunk archive), a mounted volume or
// already inside an archive. Disks are reached only in the Windows build (see disk_probe.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "files/stream.h"
#include "files/volumes.h"

constexpr size_t kDiskFolderSize = 261;  // the folder text after a drive letter: at most 260 bytes
constexpr size_t kDiskPathSize = kDiskFolderSize + 2;  // with the drive letter and colon in front

struct PathSpec {
  PathSpec* next;           // in the process-wide list of live path records
  Stream* mounted;          // the archive of the mounted volume the location is on (one reference)
  Volume* ownedVolume;      // the mount that disposing this record undoes (a record made by PathMountBlock)
  Stream* archive;          // the open archive that the location enters, once opened (one reference)
  char drive;               // upper-case drive letter; 0 for a network path and on a mounted volume
  char folder[kDiskFolderSize];  // after the drive, with backslashes: "\Users\Public", "\" for a root;
                                 // a network path holds all of it: "\\server\share\folder"
  MemoryHandle components;  // archive components, in order: length-prefixed escaped names; none if none
};

// Location codes: where an operation looks, relative to its base path record.
enum : int32_t {
  kLocationParent = -1,          // drops the last archive component, or the last folder on disk
  kLocationProgramFolder = -2,   // the folder that holds the program's executable
  kLocationAppData = -3,         // the user's application-data folder
  kLocationUserAppData = -4,     // the same
  kLocationTemporary = -5,       // the temporary-items folder
  kLocationDocuments = -6,       // the user's documents folder
  kLocationCommonAppData = -7,   // the application-data folder shared by all users
};
constexpr int32_t kLocationLastVolume = 100;  // 1 to 100: a disk volume by number

// A location argument: none (the base itself), a location code or volume number, a path record, or a
// path text relative to the base (or absolute).
class Location {
 public:
  enum class Kind : uint8_t { Base, Code, Path, Text };

  Location() = default;
  Location(std::nullptr_t) {}  // NOLINT: implicit by design, like the other forms
  Location(int code) : kind_(code ? Kind::Code : Kind::Base), code_(code) {}  // NOLINT
  Location(const PathSpec* path) : kind_(path ? Kind::Path : Kind::Base), path_(path) {}  // NOLINT
  Location(const char* text) : kind_(text ? Kind::Text : Kind::Base), text_(text) {}  // NOLINT

  Kind kind() const { return kind_; }
  int code() const { return code_; }
  const PathSpec* path() const { return path_; }
  const char* text() const { return text_; }

 private:
  Kind kind_ = Kind::Base;
  int code_ = 0;
  const PathSpec* path_ = nullptr;
  const char* text_ = nullptr;
};

// The layer's root path record, the program's folder: the base of every operation given none.
PathSpec* FileLayerRoot();
// The live path records, newest first; walk on with path->next.
PathSpec* PathFirstLive();

// Resolves the location against the base (none: the root). With an out record a new record is made
// for the caller; without one the base itself is changed. Every component but the last is tested on
// the way; the last one is tested too unless allowMissingLast is set, so that a location may name an
// item about to be created. -7201 bad component, -7202/-7203 a missing folder or item, -7206 a path
// through a disk file that is no chunk archive, -7001 a bad location code.
Status PathResolve(PathSpec* base, Location location, PathSpec** resolved, bool allowMissingLast);
// Releases the record and its references on streams; the record made by PathMountBlock also unmounts
// its volume (the memory handle that held the archive stays with its owner). None is allowed.
void PathDispose(PathSpec* path);
// Drive, folders and components joined with "/", each in escaped form: "/C/Users/Public",
// "/_Virtual_/classic.iml". -7001 when it does not fit in size bytes (then the text is empty).
Status PathToText(const PathSpec* path, char* text, size_t size);

// Mounts the archive in the handle as a volume (see ArchiveMountBlock) and gives the record of its root,
// which owns the mount.
Status PathMountBlock(MemoryHandle handle, bool writable, PathSpec** volume);

// Fill the record with the root of a volume. By name: a mounted volume of that name, else a drive letter
// that answers, else the first drive whose label matches, letter case ignored (-7202 when none). By
// number, from 1: the drives that answer, in the order C to Z, then A and B (-7203 when none). The
// system's critical-error dialogs are kept off during the scans.
Status VolumeFindByName(PathSpec* path, const char* name);
Status VolumeFindByNumber(PathSpec* path, uint32_t number);
