#pragma once
// The web site's search index: for each table, view, unit and package, the words of its
// column names, comments, descriptions and source text, so that the contents' search box
// finds an object by what it holds and not only by its name.
//
// It is a script (search-index.js) rather than data a page requests: a page opened from
// file:// may load a script beside it but may not read a file. Each object's words are
// lower case, each once, in the order they first come, so the index stays a fraction of
// the pages it describes. Loaded, it sets window.vellumarSearch to an object that maps each
// object's link (as the contents give it) to its words, and calls window.onVellumarSearch
// when the page's script is waiting for it.

#include <string>

struct DocumentModel;

// The file's name in the site folder.
inline constexpr const char* kSearchIndexName = "search-index.js";

std::string SearchIndexScript(const DocumentModel& model);
