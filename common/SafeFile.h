#pragma once
// Reading and writing the user's files so that no failure loses or alters one.
//
// Reading opens only regular files, and never waits: a FIFO without a writer
// or a device is refused at once.
//
// Writing keeps the file's identity. A symbolic link is followed to its final
// target, which is written, except where the kernel's protected_symlinks rule
// would refuse it (PlantedLink). The data go, as they come, to a temporary,
// and the file is changed only once all of them are there. A file with a
// single link, in a folder the user may write, whose owner a new file can be
// given, is replaced atomically: the temporary is an unnamed file in the same
// folder, which gets the old file's owner and mode, is synced, named and
// renamed over the target, and the folder is synced. Any other writable
// regular file (hard-linked, owned by someone else, in a folder the user
// cannot write) is rewritten in place from an unnamed spool (in its folder,
// else in $TMPDIR or /tmp, else in memory), its old content kept in a backup
// beside it (.NAME.gruvik2-old), or in a second spool where the folder takes
// none, and put back when the write fails: a kill leaves the backup, and the
// next read or write of the file puts it back and says so through the error
// log (InterruptedWriteUndone).
// Folders, FIFOs, devices and files the user may not write are refused. A
// failure that can be caught leaves no temporary behind.
//
// Where a file system takes no unnamed file, the temporary is named
// .NAME.gruvik2-tmp.PID.N and locked while the writer lives; one that a kill
// left is removed by the next read or write of a file in its folder, once no
// process PID runs and nothing holds its lock. GRUVIK2_NO_TMPFILE=1 in the
// environment makes the writer act as on such a file system (for tests).
//
// Failures are errorExc with the texts below and a detail "path: reason".
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

inline constexpr char CannotOpenFile[] = "не могу открыть файл!";
inline constexpr char CannotReadFile[] = "не могу прочесть файл!";
inline constexpr char CannotCreateFile[] = "не могу открыть/создать файл!";
inline constexpr char CannotWriteFile[] = "не могу записать файл!";

// The reason given for a path that is there but is no regular file.
inline constexpr char NotARegularFile[] = "это не обычный файл";
// The reason given for a symbolic link that the kernel's protected_symlinks
// rule would not follow: in a sticky folder everyone may write, owned by
// neither the user nor the folder's owner.
inline constexpr char PlantedLink[] = "чужая символическая ссылка в общей папке";
// The reason given for an output that is one of the run's input files.
inline constexpr char IsAnInput[] = "это входной файл, он не будет перезаписан";

// Marks the file at path (when it exists) as an input of this run: writing
// to it, under any name, through links or hard links, is then refused with
// IsAnInput. For the files a command reads and does not mean to rewrite.
void protectInput(const std::string& path);

// Both paths name one existing file (the same device and inode, links followed).
bool sameFile(const std::string& a, const std::string& b);

// Reads up to size bytes of the regular file at path into buffer and returns
// how many it held (fewer when it is shorter). Nothing when nothing is at
// path (ENOENT). Throws CannotOpenFile when the file cannot be opened or is no
// regular file, CannotReadFile when reading fails.
std::optional<size_t> readRegularFile(const std::string& path, void* buffer, size_t size);

// Throws CannotCreateFile, with the reason, unless writeFileSafely could
// write path (an input protected above never can): an existing target must be a regular file the
// user may write, a new one needs a folder the user may write.
void checkWritable(const std::string& path);

// Makes the file at path hold exactly size bytes of data, as described above.
// Throws CannotCreateFile when the target cannot be created or replaced,
// CannotWriteFile when writing the data fails; the old file is then as it was.
void writeFileSafely(const std::string& path, const void* data, size_t size);

// Whether name, in folder, is a named temporary (above) that a killed writer
// left: its process is gone and nothing holds its lock.
bool isAbandonedTemporary(const std::string& folder, const std::string& name);

// Logged when a file's content is put back from the backup of a rewrite
// that was killed.
inline constexpr char InterruptedWriteUndone[] =
    "запись файла была прервана: восстановлено его прежнее содержимое";

// The reason given for a file another copy of the program works on.
inline constexpr char FileBusy[] = "с файлом уже работает другая копия программы";

// An advisory lock (flock) on an existing file for the object's lifetime, so
// that a second read into the same file is refused at once. Nothing is locked
// when nothing is at path. Throws CannotOpenFile with FileBusy when another
// holds the lock.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

// The same, for data that comes in pieces, each going to the temporary as it
// comes (through a small buffer): the file holds what was written once commit
// returns, and is as it was when the writer goes without a commit or any call
// throws. The constructor throws as checkWritable, and CannotCreateFile when
// no temporary can be made; write throws CannotWriteFile. commit looks at the
// target again: one that changed meanwhile (linked, replaced, made a FIFO) is
// written as it is then, or refused as checkWritable would refuse it.
class SafeFileWriter {
public:
    explicit SafeFileWriter(const std::string& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    void write(const void* data, size_t size);
    void commit();

private:
    struct State;
    std::unique_ptr<State> state_;
};

class ByteSink;
// Runs produce with a sink whose bytes go into path through a SafeFileWriter,
// committed once produce returns; throws as the writer and as produce.
void writeFileStreamed(const std::string& path, const std::function<void(ByteSink&)>& produce);
