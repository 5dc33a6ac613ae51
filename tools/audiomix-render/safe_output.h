// Writing an output without ever leaving half a file or replacing the wrong
// one: the target is checked before anything is rendered, the data goes to a
// unique temporary beside it, and only a complete, flushed file is renamed
// over it.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "temp_files.h"

namespace audiomix_render {

// Which file a path names, to recognise an input under another name.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
};
std::optional<FileIdentity> file_identity(const std::string& path);

struct OutputTarget {
    std::string typed;          // as given, for every message
    std::string path;           // the file written: symbolic links followed
    bool toStdout = false;      // "-"
    bool createFolder = false;  // the folder is made when the file is
};

// Checks an output before the render: "-" is standard output (refused when
// it is a terminal); links are followed to the file they name; directories,
// devices, pipes and sockets, read-only files, the inputs (unless inPlace)
// and files in a missing folder (unless SafeOutput is to create it) are
// refused. Returns the reason, or empty.
std::string resolve_output(const std::string& typed, const std::vector<FileIdentity>& inputs, bool inPlace,
                           bool createFolder, OutputTarget& target);

// One output being written. The temporary is created exclusively beside the
// target (so renders into one folder never share one) and removed on every
// error, on destruction unless committed, and on INT, TERM or HUP.
class SafeOutput {
public:
    SafeOutput() = default;
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    bool open(const OutputTarget& target, std::string& error);
    int fd() const { return fd_; }

    // Flushes, gives the file the target's permissions (and owner, when
    // allowed) or those of a new file, and renames it over the target; for
    // standard output, copies it there.
    bool commit(std::string& error);

private:
    void discard();

    OutputTarget target_;
    std::string temporary_;  // empty for standard output's anonymous file
    RegisteredTemporary registration_;
    int fd_ = -1;
};

}  // namespace audiomix_render
