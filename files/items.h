// One item of a folder, reached for an operation: the folder opened (an archive, or a disk folder)
// and the item's name. Internal to the file layer.
#pragma once

#include <windows.h>

#include "files/archive_names.h"
#include "files/entry_info.h"
#include "files/paths.h"

class OpenItem {
 public:
  OpenItem() = default;
  ~OpenItem();
  OpenItem(const OpenItem&) = delete;
  OpenItem& operator=(const OpenItem&) = delete;

  // The item name of a folder record (none: the root).
  Status InFolder(PathSpec* folder, const char* name, bool forWriting);
  // The item a location names, relative to a base record (none: the root). The location's last
  // component need not exist.
  Status AtLocation(PathSpec* base, Location location, bool forWriting);

  // The root of a volume or drive, which has no name in a folder.
  bool IsRoot() const { return !name_[0]; }
  const char* name() const { return name_; }

  Status GetInfo(EntryInfo* info, bool recogniseArchives);
  Status Create(const EntryInfo& info);
  Status Delete();
  Status Rename(const EntryInfo& info);
  Status Open(bool forWriting, Stream** stream);
  // The item exists: 0, -7203 when it does not, another code when that cannot be told.
  Status Exists();

 private:
  Status Enter(bool forWriting);
  Status DiskInfo(EntryInfo* info, bool recogniseArchives);

  PathSpec* folder_ = nullptr;
  PathSpec* made_ = nullptr;          // a folder record made for this item, disposed of with it
  Stream* archive_ = nullptr;         // the folder opened as an archive; none for a disk folder
  char name_[kEscapedNameSize] = {};  // escaped
  char path_[MAX_PATH + 1] = {};      // on disk: the item's full path
};
