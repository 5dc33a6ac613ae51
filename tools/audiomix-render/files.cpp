#include "files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "safe_output.h"

namespace audiomix_render {

namespace fs = std::filesystem;

namespace {

fs::path normal_path(const std::string& p) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(p, ec).lexically_normal();
    const fs::path canonical = fs::weakly_canonical(absolute, ec);
    return ec ? absolute : canonical;
}

}  // namespace

bool read_text_file(const std::string& path, std::string& text, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = path + ": is a folder, not a file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot be read to the end";
        return false;
    }
    text = bytes.str();
    return true;
}

bool write_file_atomically(const std::string& path, const std::string& text, std::string& error) {
    OutputTarget target;
    error = resolve_output(path, {}, false, false, target);
    if (!error.empty()) return false;
    SafeOutput file;
    if (!file.open(target, error)) return false;
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(file.fd(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = path + ": not written (" + std::strerror(n == 0 ? EIO : errno) + ")";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return file.commit(error);
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    return normal_path(a) == normal_path(b);
}

}  // namespace audiomix_render
