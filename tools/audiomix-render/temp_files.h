// Temporary files that must not outlive the process: every output is written
// to one beside its target and renamed over it only when complete. An
// interrupt (INT, TERM, HUP) removes those that are still open, then ends the
// process as the signal would have.
#pragma once

#include <string>

namespace audiomix_render {

// Installs the handlers once; later calls do nothing.
void remove_temporaries_on_signals();

// A temporary file's path in the table the handlers read. The table is fixed
// in size and written without locks, so the handlers may read it at any time.
class RegisteredTemporary {
public:
    RegisteredTemporary() = default;
    ~RegisteredTemporary();  // forgets the path; the file itself is the owner's
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;

    // Enters path, in place of any path held before. False when the table is
    // full or the path too long: the file is then removed on errors but not
    // on a signal.
    bool hold(const std::string& path);
    void forget();

private:
    int slot_ = -1;
};

}  // namespace audiomix_render
