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

namespace audiomix_render {

namespace fs = std::filesystem;

namespace {

// O_EXCL makes the name ours alone; the process id and a counter make a
// clash unlikely, and a clash only costs another try.
int create_temporary(const std::string& path, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool write_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// A replaced file keeps its permission bits.
bool keep_mode(int fd, const std::string& path) {
    struct stat old {};
    if (stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return true;
    return fchmod(fd, old.st_mode & 07777) == 0;
}

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
    std::string temp;
    const int fd = create_temporary(path, temp);
    if (fd < 0) {
        error = path + ": cannot create a file beside it (" + std::strerror(errno) + ")";
        return false;
    }
    bool ok = write_all(fd, text) && keep_mode(fd, path) && fsync(fd) == 0;
    int reason = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        reason = errno;
    }
    if (ok) return true;
    error = path + ": not written (" + std::strerror(reason) + ")";
    std::remove(temp.c_str());
    return false;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    return normal_path(a) == normal_path(b);
}

}  // namespace audiomix_render
