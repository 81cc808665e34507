// The pages the author previews: a page file and the folder on disk that holds it (and its pictures),
// taken from the command line or chosen in the file layer's open dialog. Windows only.
#pragma once

#include <string>

#include "files/paths.h"

struct PageSource {
  std::string folder;  // the full disk path of the folder: the page source, and what is watched
  std::string file;    // the page file's name in it
};

// A folder (its page file is chosen by ChoosePageFile) or a page file, relative to the working folder or
// absolute. -7203 / -7202 when it is not there; -8405 for a folder without a page file.
Status PageSourceFromPath(const char* path, PageSource* source);
// The open dialog: a page file (".iml") chosen is opened; any other file chosen opens the page file of
// its folder. -7007 when the user cancels.
Status PageSourceFromDialog(PageSource* source);
// The folder as a path record of the file layer, for the caller to dispose of.
Status PageSourceFolder(const PageSource& source, PathSpec** folder);
// The page file's name as a path text relative to the folder (the escaped form of names).
std::string PageSourceFileText(const PageSource& source);
