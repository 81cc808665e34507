// The commands of the archive tool, apart from its command line so that tests can run them. Each writes
// what it did to `out` and its complaints to `err`, and returns 0 on success and 1 on failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Packs the plain files of a folder (sorted by name, byte by byte; names starting with "." are left
// out) into a new archive file: directory right after the header, data back to back, every entry
// readable and writable, types from the file type table. Refuses a result over `limit` bytes.
int PackFolder(const std::string& folder, const std::string& archivePath, uint32_t limit, FILE* out, FILE* err);

// One line per entry: name (escaped), flags, offset, size, type.
int ListArchive(const std::string& archivePath, FILE* out, FILE* err);

// Writes entries into files of the folder, named by their escaped names: all of them, or those named.
int ExtractArchive(const std::string& archivePath, const std::string& folder, const std::vector<std::string>& names,
                   FILE* out, FILE* err);
