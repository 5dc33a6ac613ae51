// Whole files: read at once, and written so that a reader (or a crash)
// never sees one half done.
#pragma once

#include <string>

namespace audiomix_render {

// The bytes of path into text. False with error naming the file and the
// reason when it cannot be read (missing, a folder, no permission).
bool read_text_file(const std::string& path, std::string& text, std::string& error);

// Creates or replaces path with text, as every output is written
// (safe_output.h): checked first (a link's target is written; folders,
// devices and read-only files are refused), then a unique temporary beside
// it, flushed and renamed over it. On any failure path is left exactly as it
// was and error says what went wrong.
bool write_file_atomically(const std::string& path, const std::string& text, std::string& error);

// Whether a and b name the same file: the same existing file, or the same
// path once made absolute and normal when either does not exist yet.
bool same_file(const std::string& a, const std::string& b);

}  // namespace audiomix_render
