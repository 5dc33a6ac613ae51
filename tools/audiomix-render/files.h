// Whole files: read at once, and written so that a reader (or a crash)
// never sees one half done.
#pragma once

#include <string>

namespace audiomix_render {

// The bytes of path into text. False with error naming the file and the
// reason when it cannot be read (missing, a folder, no permission).
bool read_text_file(const std::string& path, std::string& text, std::string& error);

// Creates or replaces path with text. The bytes go to a temporary file of a
// unique name in the same folder, are flushed to disk, and the temporary
// file is then renamed over path. On any failure path is left exactly as it
// was, the temporary file is removed and error says what went wrong. A
// replaced file keeps its permissions; a new one gets 0666 less the umask.
bool write_file_atomically(const std::string& path, const std::string& text, std::string& error);

// Whether a and b name the same file: the same existing file, or the same
// path once made absolute and normal when either does not exist yet.
bool same_file(const std::string& a, const std::string& b);

}  // namespace audiomix_render
