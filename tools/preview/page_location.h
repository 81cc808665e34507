// Where the previewer finds its pages: disk paths as the file layer's path texts and back, the page
// file it opens in a folder, and the line of an offset in a page file. Pure: no system calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// "C:\Pages\my%pages" as "/C/Pages/my%25pages": the drive as the first component, every folder in the
// escaped form of names. Empty for anything but an absolute path on a drive (a network path, say).
std::string PathTextOfDiskPath(const std::string& diskPath);
// The reverse: "/C/Pages/my%25pages" as "C:\Pages\my%pages"; "/C" as "C:\". Empty when the text names
// no drive.
std::string DiskPathOfPathText(const std::string& pathText);

// A name ending in ".iml", letter case ignored.
bool IsPageFileName(const std::string& name);
// The page file to open in a folder of these file names: "classic.iml", the order program's first page
// file; else "index.iml", which the engine opens for a folder; else the first ".iml" file by name (letter
// case ignored). Empty when there is none.
std::string ChoosePageFile(std::span<const std::string> names);

// The 1-based line of a byte offset in the page text the engine parsed from `bytes`, the file as stored:
// LF, and a CR not followed by LF, end a line. A file in UTF-16 (little-endian, with its signature) was
// narrowed to a byte per character after the signature, so there the offset counts characters.
uint32_t LineOfOffset(const uint8_t* bytes, size_t size, uint32_t offset);
