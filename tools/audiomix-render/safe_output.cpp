#include "safe_output.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace audiomix_render {

namespace {

std::string folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string name_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symbolic links to the path it ends at (which need not
// exist). False for a loop.
bool follow_links(std::string path, std::string& out) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            out = path;
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0) return false;
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : folder_of(path) + "/" + target;
    }
    return false;
}

// Permission bits a new file gets, from the process's umask. Read from
// /proc rather than with umask(), which would change it for every thread.
mode_t new_file_mode() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string value;
            status >> value;
            return static_cast<mode_t>(0666 & ~std::strtoul(value.c_str(), nullptr, 8));
        }
    }
    return 0644;
}

bool write_all(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<FileIdentity> file_identity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

std::string resolve_output(const std::string& typed, const std::vector<FileIdentity>& inputs, bool inPlace,
                           bool createFolder, OutputTarget& target) {
    target = OutputTarget{typed, {}, false, false};
    if (typed == "-") {
        if (isatty(STDOUT_FILENO)) return "-: standard output is a terminal; redirect it or name a file";
        target.toStdout = true;
        return {};
    }
    struct stat st {};
    if (stat(typed.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return typed + ": is a folder; name a file (or use --out-dir)";
        if (!S_ISREG(st.st_mode))
            return typed + ": is not a regular file (a device, pipe or socket); use -o - for standard output";
    }
    if (!follow_links(typed, target.path)) return typed + ": too many levels of symbolic links";

    if (stat(target.path.c_str(), &st) == 0) {
        for (const FileIdentity& input : inputs)
            if (input == FileIdentity{st.st_dev, st.st_ino} && !inPlace)
                return typed + ": is an input; --in-place writes over it";
        // Root may write anything, so ask the mode as well as access().
        if ((st.st_mode & 0222) == 0 || access(target.path.c_str(), W_OK) != 0)
            return typed + ": is read-only; it was left as it is";
    }
    const std::string folder = folder_of(target.path);
    if (stat(folder.c_str(), &st) != 0 && errno == ENOENT && createFolder) {
        target.createFolder = true;
        return {};
    }
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return typed + ": no folder " + folder;
    if (access(folder.c_str(), W_OK | X_OK) != 0) return typed + ": the folder " + folder + " is not writable";
    return {};
}

SafeOutput::~SafeOutput() { discard(); }

void SafeOutput::discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
    registration_.forget();
}

bool SafeOutput::open(const OutputTarget& target, std::string& error) {
    remove_temporaries_on_signals();
    target_ = target;
    if (target.toStdout) {
        // Containers rewrite their headers at the end, which a pipe cannot
        // take: the file is made whole in an anonymous file first.
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/audiomix-render.XXXXXX";
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) {
            error = "-: no room for the output before standard output: " + std::string(std::strerror(errno));
            return false;
        }
        unlink(pattern.c_str());
        return true;
    }
    if (target.createFolder) {
        std::error_code ec;
        std::filesystem::create_directories(folder_of(target.path), ec);
        if (ec) {
            error = target.typed + ": " + ec.message();
            return false;
        }
    }
    std::string pattern = folder_of(target.path) + "/." + name_of(target.path) + ".XXXXXX.part";
    // A signal between creating and registering would leave the file: block
    // them for that moment.
    sigset_t interrupts, previous;
    sigemptyset(&interrupts);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupts, sig);
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
    fd_ = mkstemps(pattern.data(), 5);
    if (fd_ >= 0) {
        temporary_ = pattern;
        registration_.hold(temporary_);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (fd_ < 0) {
        error = target.typed + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool SafeOutput::commit(std::string& error) {
    const auto fail = [&](const char* what) {
        error = target_.typed + ": " + what + ": " + std::strerror(errno);
        discard();
        return false;
    };
    if (target_.toStdout) {
        if (lseek(fd_, 0, SEEK_SET) != 0) return fail("could not read back the output");
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return fail("could not read back the output");
            if (n == 0) break;
            if (!write_all(STDOUT_FILENO, buffer, static_cast<size_t>(n)))
                return fail("could not write to standard output");
        }
        discard();
        return true;
    }
    if (fsync(fd_) != 0) return fail("could not flush");
    struct stat st {};
    if (stat(target_.path.c_str(), &st) == 0) {
        if (fchmod(fd_, st.st_mode & 07777) != 0) return fail("could not keep the permissions");
        // Only root may give a file away; everyone else keeps the new owner.
        if (geteuid() == 0 && fchown(fd_, st.st_uid, st.st_gid) != 0) return fail("could not keep the owner");
    } else if (fchmod(fd_, new_file_mode()) != 0) {
        return fail("could not set the permissions");
    }
    if (close(fd_) != 0) {
        fd_ = -1;
        return fail("could not finish writing");
    }
    fd_ = -1;
    if (rename(temporary_.c_str(), target_.path.c_str()) != 0) return fail("could not replace");
    temporary_.clear();
    registration_.forget();
    return true;
}

}  // namespace audiomix_render
