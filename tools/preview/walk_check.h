// Checks the pages of a loaded page file against the names the order program relies on (the walk's
// table in app/walk_pages.h): what is missing, what is of the wrong kind, what is there twice, and
// frames that do not show the page the program expects. Pure: no system calls.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "interface/page_directory.h"

struct WalkFinding {
  std::string page;  // the page concerned; empty for a finding about the whole file
  std::string text;
  bool problem;      // false for the note that a page has everything the program needs
};

// `classTags`: the tags that make displayed elements (upper case), as the engine's registry has them;
// only such elements are controls the program can find by name. One finding per problem, in the
// order of the walk's table, a note for each walk page without problems, and one finding listing the
// walk's pages that the file does not have.
std::vector<WalkFinding> CheckWalkPages(const PageDirectory& directory, std::span<const char* const> classTags);
