// Building and taking apart path records. Internal to the file layer.
#pragma once

#include "files/paths.h"

// A new empty record in the list of live records; none when memory runs out.
PathSpec* PathNew();
// Gives target the location of source (taking its own references); target's old parts are released.
Status PathCopyInto(PathSpec* target, const PathSpec* source);
// Hands all of source's parts (references and cache included) to target and disposes of source.
void PathMoveInto(PathSpec* target, PathSpec* source);
// Releases the location's parts: references, cache and components (not an owned mount).
void PathClearParts(PathSpec* path);
// Drops the cached archive: done whenever the location changes.
void PathForgetArchive(PathSpec* path);

// The location lies inside an archive: on a mounted volume or below an archive file.
bool PathIsInArchive(const PathSpec* path);

uint32_t PathComponentCount(const PathSpec* path);
// Copies component index (escaped form) into name, kEscapedNameSize bytes.
void PathComponentAt(const PathSpec* path, uint32_t index, char* name);
Status PathAppendComponent(PathSpec* path, const char* escaped);
// Appends a decoded name to the disk folder: -7201 when it holds a "/" or the folder would pass 260 bytes.
Status PathAppendDiskName(PathSpec* path, const char* name);
// Removes the last archive component, or else the last disk folder, and gives it in escaped form (may
// be none). False at the root of a drive or volume, where nothing is removed.
bool PathDropLast(PathSpec* path, char* name);

// Makes the record a disk location from an absolute path: a drive letter, a colon and a backslash, or
// two backslashes (a network path). A trailing backslash is dropped unless the text is three characters
// or shorter. -7200 for anything else or a folder longer than 260 bytes.
Status PathSetDisk(PathSpec* path, const char* fullPath);
// A new record for an absolute disk path, as PathSetDisk.
Status PathNewDisk(const char* fullPath, PathSpec** path);
// Makes the record the root of the mounted volume whose archive is the stream.
void PathSetMounted(PathSpec* path, Stream* mounted);
// The disk path: "C:\Users", "C:\", "\\server\share"; kDiskPathSize bytes.
void PathDiskText(const PathSpec* path, char* full);
