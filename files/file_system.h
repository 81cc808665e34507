// The file layer: one way to reach stored items wherever they are (see paths.h), with whole-file
// reading and writing, creation, deletion, renaming, unique names, and the open and save dialogs with
// their console fallback. Every operation that takes a base or folder record takes none as the layer's
// root (the program's folder). Names are single path components in escaped form. Windows only.
#pragma once

#include <windows.h>

#include "files/archive_names.h"
#include "files/entry_info.h"
#include "files/paths.h"

// Starts the platform when needed, registers the layer's release routine and makes the root path record.
// Does nothing when the layer runs already.
Status FileLayerStart();

// -7203 when the item is absent. Archive files are reported as containers only when recogniseArchives
// is set; the root of a mounted volume is "_Virtual_".
Status FileGetInfo(PathSpec* base, Location location, EntryInfo* info, bool recogniseArchives);
// Reads the whole item into a new handle (temporary when asked); -7004 when it is longer than maximumSize.
Status FileReadAll(PathSpec* base, Location location, uint32_t maximumSize, bool temporary, MemoryHandle* data);
// Writes the handle's bytes as the item name of folder. A missing item is created (as an archive when the
// data is one); an existing one gives -7204 unless it is to be replaced or appended to (an existing
// folder or archive is then deleted and created anew). Types and creators of 0 come from the file type
// table. On failure an item this call created is deleted again, an appended item keeps its old contents
// and a replaced one is left empty.
Status FileWriteAll(PathSpec* folder, const char* name, bool replace, bool append, FourCC type, FourCC creator,
                    MemoryHandle data);
// Creates a folder, a file (of the info's size), an archive file or an archive entry (containers with
// the info's capacity).
Status FileCreate(PathSpec* folder, const EntryInfo& info);
// Deletes a file, an empty folder or an entry (-7208 when not empty or open).
Status FileDelete(PathSpec* folder, const char* name);
// Renames and changes the flags (and, inside archives, the type).
Status FileRename(PathSpec* folder, const char* name, const EntryInfo& newInfo);
// Opens a stream on a file or entry; -7214 when the location is a whole volume.
Status FileOpen(PathSpec* folder, Location location, bool forWriting, Stream** stream);
// A name that does not exist in the folder yet: prefix, four hexadecimal digits, suffix. -7201 when
// prefix and suffix together have 26 bytes or more or hold "/", ":", "\" or "%".
Status FileMakeUniqueName(PathSpec* folder, const char* prefix, const char* suffix, char* name);

// The open and save dialogs, or console prompts in a program without dialogs. The chosen item comes as
// a new folder record and a name (kEscapedNameSize bytes); in folder mode no name is given. -7007 when
// the user cancels.
Status FileSelect(const char* title, bool folderMode, PathSpec** folder, char* name);
Status FileSelectSave(const char* title, const char* defaultName, PathSpec** folder, bool* exists, char* name);
// The module that owns the dialogs; none means the console prompts. At start-up it is the program's own
// module in a windowed program and none in a console program.
void FileSetDialogModule(HMODULE module);
