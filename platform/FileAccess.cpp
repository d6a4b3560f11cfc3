#include "platform/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace Orvanta {

namespace {

std::string systemError()
{
    return std::strerror(errno);
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int d) : fd(d) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, const uint8_t* data, size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(fd, data, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        count -= size_t(n);
    }
    return true;
}

}  // namespace

PathKind pathKind(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return PathKind::Missing;
    if (S_ISREG(info.st_mode))
        return PathKind::RegularFile;
    if (S_ISDIR(info.st_mode))
        return PathKind::Directory;
    return PathKind::Other;
}

namespace {

// Opens path for reading when it is a regular file of at most maxBytes, without blocking on a
// FIFO; -1 with the problem otherwise. size is the file's size when it was opened.
int openRegularForReading(const std::string& path, size_t maxBytes, uint64_t& size, std::string& problem)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0) {
        problem = "cannot open (" + systemError() + ")";
        return -1;
    }
    struct stat info;
    if (::fstat(file.fd, &info) != 0) {
        problem = "cannot be examined (" + systemError() + ")";
        return -1;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = "is a directory, not a file";
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "is not a regular file (a device, pipe or socket)";
        return -1;
    }
    size = uint64_t(info.st_size);
    if (size > maxBytes) {
        problem = "is " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
                  " bytes a file may have here";
        return -1;
    }
    const int fd = file.fd;
    file.fd = -1;
    return fd;
}

}  // namespace

FILE* openRegularFile(const std::string& path, std::string& problem, size_t maxBytes)
{
    uint64_t size = 0;
    const int fd = openRegularForReading(path, maxBytes, size, problem);
    if (fd < 0)
        return nullptr;
    // Reads of a regular file never block; the flag goes so that stdio sees an ordinary file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        problem = "cannot open (" + systemError() + ")";
        ::close(fd);
    }
    return file;
}

bool readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& problem, size_t maxBytes)
{
    bytes.clear();
    uint64_t size = 0;
    Descriptor file(openRegularForReading(path, maxBytes, size, problem));
    if (file.fd < 0)
        return false;
    bytes.resize(size_t(size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            problem = "read error (" + systemError() + ")";
            bytes.clear();
            return false;
        }
        if (n == 0) {
            problem = "was shortened while it was read";
            bytes.clear();
            return false;
        }
        done += size_t(n);
    }
    return true;
}

int removeStaleTemporaries(const std::string& path)
{
    const std::string prefix = baseNameOf(path) + ".tmp";
    DIR* directory = ::opendir(directoryOf(path).c_str());
    if (!directory)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // "<pid>-<serial>": anything else is not one of ours and stays.
        const std::string rest = name.substr(prefix.size());
        const size_t dash = rest.find('-');
        if (dash == std::string::npos || dash == 0 || dash > 9 || rest.find_first_not_of("0123456789", 0) != dash ||
            rest.find_first_not_of("0123456789", dash + 1) != std::string::npos || dash + 1 == rest.size())
            continue;
        const pid_t writer = pid_t(std::stol(rest.substr(0, dash)));
        const bool running = writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH;
        if (running)
            continue;
        const std::string stale = directoryOf(path) + "/" + name;
        if (::unlink(stale.c_str()) == 0)
            ++removed;
    }
    ::closedir(directory);
    return removed;
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    removeStaleTemporaries(path);
    // The temporary name is unique to this process and call, so writers racing for the same file
    // (two programs building the same kd-tree) never write into each other's half-done copy.
    // A name already taken (left by an earlier process that had this process's id) is skipped.
    static std::atomic<unsigned> serial{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(long(::getpid())) + "-" + std::to_string(serial.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    auto fail = [&](const std::string& problem) {
        ::unlink(temporary.c_str());
        error = path + ": " + problem;
        return false;
    };
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Directory || kind == PathKind::Other) {
        if (fd >= 0)
            ::close(fd);
        // The rename would put the file in the place of a device or pipe.
        return fail(kind == PathKind::Directory ? "is a directory, a file cannot be written in its place"
                                                : "is a device, pipe or socket, not a file to write");
    }
    if (fd < 0) {
        error = path + ": cannot write (" + systemError() + ")";
        return false;
    }
    {
        Descriptor file(fd);
        if (!writeAll(file.fd, bytes.data(), bytes.size()))
            return fail("cannot write the file completely (" + systemError() + ")");
        // The data must be on the disk before the rename makes it the file: otherwise a crash of
        // the machine could leave the new name pointing at an empty file.
        if (::fsync(file.fd) != 0)
            return fail("cannot flush the file to the disk (" + systemError() + ")");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail("cannot replace the file (" + systemError() + ")");
    // The rename itself lives in the directory; flush it too. A directory that cannot be opened
    // or flushed (some file systems) leaves the file written all the same.
    Descriptor directory(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.fd >= 0)
        ::fsync(directory.fd);
    return true;
}

std::string outputPathProblem(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return "names no file";
    switch (pathKind(path)) {
    case PathKind::Directory:
        return "is a directory, a file cannot be written in its place";
    case PathKind::Other:
        return "is a device, pipe or socket, not a file to write";
    case PathKind::Missing:
    case PathKind::RegularFile:
        break;
    }
    const std::string directory = directoryOf(path);
    if (pathKind(directory) != PathKind::Directory)
        return "cannot be written: the directory " + directory + " does not exist";
    return {};
}

bool hasParentStep(const std::string& path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = path.size();
        if (end - start == 2 && path.compare(start, 2, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

namespace {

std::mutex& rootsMutex()
{
    static std::mutex* mutex = new std::mutex();
    return *mutex;
}

std::vector<std::filesystem::path>& addedRoots()
{
    static auto* roots = new std::vector<std::filesystem::path>();
    return *roots;
}

bool isWithin(const std::filesystem::path& path, const std::filesystem::path& root)
{
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p) {
        if (r->empty() && std::next(r) == root.end())
            return true;  // a root given with a trailing separator
        if (p == path.end() || *p != *r)
            return false;
    }
    return true;
}

}  // namespace

void addContentRoot(const std::string& directory)
{
    std::error_code error;
    const std::filesystem::path root =
        std::filesystem::absolute(directory.empty() ? "." : directory, error).lexically_normal();
    if (error)
        return;
    std::lock_guard<std::mutex> lock(rootsMutex());
    std::vector<std::filesystem::path>& roots = addedRoots();
    if (std::find(roots.begin(), roots.end(), root) == roots.end())
        roots.push_back(root);
}

bool staysInContentRoots(const std::string& path)
{
    if (!hasParentStep(path))
        return true;
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::absolute(path, error).lexically_normal();
    const std::filesystem::path resources = std::filesystem::absolute("resources", error).lexically_normal();
    if (error)
        return false;
    if (isWithin(resolved, resources))
        return true;
    std::lock_guard<std::mutex> lock(rootsMutex());
    for (const std::filesystem::path& root : addedRoots())
        if (isWithin(resolved, root))
            return true;
    return false;
}

}  // namespace Orvanta
