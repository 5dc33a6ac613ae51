// Pieces of the exports' lifecycle, kept apart so tests reach the pure ones.
#pragma once

#include <cstddef>

namespace audiomix {

// The preset file's path from the library's own path: the folder before the
// last separator, then the separator and "audioeqset.eq" ("\audioeqset.eq"
// for a path without a separator). Empty when the result does not fit in
// size bytes, so a cut path never names another file.
void preset_path_from_module(const char* modulePath, char separator, char* out, size_t size);

// The preset file beside this library, from the shell's module path; empty
// when the library's path is unknown or too long.
void library_preset_path(char* out, size_t size);

// Copies a host title of at most size - 1 bytes. Longer text is cut before a
// double-byte character that would straddle the cut (code page 936 lead
// bytes followed by a trail byte, model/gbk.h). Null copies as empty.
void copy_title(const char* text, char* out, size_t size);

}  // namespace audiomix
