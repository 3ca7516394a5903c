// Files. Names are matched without regard to case, as the system expects:
// the plug-ins write "stream.tmp" and the library reads "Stream.tmp".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/win/internal.h"

namespace fs = std::filesystem;

namespace {

DWORD g_lastError = 0;

struct File {
    int fd = -1;
    DWORD access = 0;
    std::string path;
};

File* byHandle(HANDLE h) {
    return static_cast<File*>(ZolHandleGet(ZolKind_File, HandleToField(h)));
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

DWORD errorFromErrno(int e) {
    switch (e) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return ERROR_ACCESS_DENIED;
        case EEXIST: return ERROR_FILE_EXISTS;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_ACCESS_DENIED;
    }
}

}  // namespace

namespace zolplat {

void setError(DWORD code) { g_lastError = code; }

std::string resolveNoCase(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) return path;
    fs::path p(path);
    fs::path out = p.root_path();
    bool matching = true;
    for (const fs::path& part : p.relative_path()) {
        const std::string name = part.string();
        if (matching && name != "." && name != "..") {
            fs::path dir = out.empty() ? fs::path(".") : out;
            fs::path exact = out / part;
            if (fs::exists(fs::symlink_status(exact, ec))) {
                out = exact;
                continue;
            }
            bool found = false;
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                std::string entry = it->path().filename().string();
                if (equalNoCase(entry, name)) {
                    out /= entry;
                    found = true;
                    break;
                }
            }
            if (found) continue;
            matching = false;
        }
        out /= part;
    }
    return out.string();
}

std::string configFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/zolplatform";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/zolplatform";
}

}  // namespace zolplat

ZOLAPI DWORD GetLastError() { return g_lastError; }
ZOLAPI void SetLastError(DWORD code) { g_lastError = code; }

ZOLAPI DWORD ResolvePathNoCase(const char* path, char* out, DWORD size) {
    try {
        if (!path || !out || size == 0) return 0;
        std::string r = zolplat::resolveNoCase(path);
        DWORD n = static_cast<DWORD>(std::min<size_t>(r.size(), size - 1));
        std::memcpy(out, r.data(), n);
        out[n] = '\0';
        return n;
    } catch (...) {
        return 0;
    }
}

ZOLAPI HANDLE CreateFileA(const char* name, DWORD access, DWORD share, void* security,
                          DWORD creation, DWORD attributes, HANDLE templateFile) {
    try {
        if (!name || !*name || (access & (GENERIC_READ | GENERIC_WRITE)) == 0) {
            zolplat::setError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        std::string path = zolplat::resolveNoCase(name);
        int flags = O_CLOEXEC;
        if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) flags |= O_RDWR;
        else if (access & GENERIC_WRITE) flags |= O_WRONLY;
        else flags |= O_RDONLY;
        switch (creation) {
            case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
            case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
            case OPEN_EXISTING: break;
            case OPEN_ALWAYS: flags |= O_CREAT; break;
            case TRUNCATE_EXISTING:
                if (!(access & GENERIC_WRITE)) {
                    zolplat::setError(ERROR_INVALID_PARAMETER);
                    return INVALID_HANDLE_VALUE;
                }
                flags |= O_TRUNC;
                break;
            default: zolplat::setError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            zolplat::setError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0) {
            zolplat::setError(errorFromErrno(errno));
            return INVALID_HANDLE_VALUE;
        }
        auto f = std::make_unique<File>();
        f->fd = fd;
        f->access = access;
        f->path = path;
        uint32_t h = ZolHandleAdd(ZolKind_File, f.get());
        if (h == 0) {
            ::close(fd);
            zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
            return INVALID_HANDLE_VALUE;
        }
        f.release();
        zolplat::setError(ERROR_SUCCESS);
        return FieldToHandle<HANDLE>(h);
    } catch (...) {
        zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
}

ZOLAPI BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped) {
    if (read) *read = 0;
    File* f = byHandle(file);
    if (!f || !(f->access & GENERIC_READ) || (!buffer && toRead)) {
        zolplat::setError(f ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD total = 0;
    while (total < toRead) {
        ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + total, toRead - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            zolplat::setError(errorFromErrno(errno));
            if (read) *read = total;
            return FALSE;
        }
        if (n == 0) break;  // end of file: a short read, not a failure
        total += static_cast<DWORD>(n);
    }
    if (read) *read = total;
    return TRUE;
}

ZOLAPI BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written,
                      void* overlapped) {
    if (written) *written = 0;
    File* f = byHandle(file);
    if (!f || !(f->access & GENERIC_WRITE) || (!buffer && toWrite)) {
        zolplat::setError(f ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD total = 0;
    while (total < toWrite) {
        ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + total, toWrite - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            zolplat::setError(n < 0 ? errorFromErrno(errno) : ERROR_ACCESS_DENIED);
            if (written) *written = total;
            return FALSE;
        }
        total += static_cast<DWORD>(n);
    }
    if (written) *written = total;
    return TRUE;
}

ZOLAPI BOOL GetFileInformation(HANDLE file, FILE_INFORMATION* info) {
    File* f = byHandle(file);
    struct stat st {};
    if (!f || !info || ::fstat(f->fd, &st) != 0) {
        zolplat::setError(f ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    info->attributes = FILE_ATTRIBUTE_NORMAL;
    info->sizeHigh = static_cast<DWORD>(size >> 32);
    info->sizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    info->links = static_cast<DWORD>(st.st_nlink);
    return TRUE;
}

ZOLAPI BOOL CloseHandle(HANDLE object) {
    File* f = static_cast<File*>(ZolHandleRemove(ZolKind_File, HandleToField(object)));
    if (!f) {
        zolplat::setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ::close(f->fd);
    delete f;
    return TRUE;
}
