#pragma once
// Reading and writing the user's files so that no failure loses or alters one.
//
// Reading opens only regular files, and never waits: a FIFO without a writer
// or a device is refused at once.
//
// Writing keeps the file's identity. A symbolic link is followed to its final
// target, which is written. A file with a single link, in a folder the user
// may write, whose owner a new file can be given, is replaced atomically: the
// data goes to an unnamed temporary in the same folder, which is synced, gets
// the old file's owner and mode, is named and renamed over the target, and
// the folder is synced. Any other writable regular file (hard-linked, owned by
// someone else, in a folder the user cannot write) is rewritten in place with
// its old content kept in memory, which is put back when the write fails.
// Folders, FIFOs, devices and files the user may not write are refused. A
// failure that can be caught leaves no temporary behind.
//
// Failures are errorExc with the texts below and a detail "path: reason".
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

inline constexpr char CannotOpenFile[] = "не могу открыть файл!";
inline constexpr char CannotReadFile[] = "не могу прочесть файл!";
inline constexpr char CannotCreateFile[] = "не могу открыть/создать файл!";
inline constexpr char CannotWriteFile[] = "не могу записать файл!";

// The reason given for a path that is there but is no regular file.
inline constexpr char NotARegularFile[] = "это не обычный файл";

// Reads up to size bytes of the regular file at path into buffer and returns
// how many it held (fewer when it is shorter). Nothing when nothing is at
// path (ENOENT). Throws CannotOpenFile when the file cannot be opened or is no
// regular file, CannotReadFile when reading fails.
std::optional<size_t> readRegularFile(const std::string& path, void* buffer, size_t size);

// Throws CannotCreateFile, with the reason, unless writeFileSafely could
// write path: an existing target must be a regular file the user may write,
// a new one needs a folder the user may write.
void checkWritable(const std::string& path);

// Makes the file at path hold exactly size bytes of data, as described above.
// Throws CannotCreateFile when the target cannot be created or replaced,
// CannotWriteFile when writing the data fails; the old file is then as it was.
void writeFileSafely(const std::string& path, const void* data, size_t size);

// The same, for data that comes in pieces: the file holds what was written
// once commit returns, and is as it was when the writer goes without a
// commit or any call throws. The constructor throws as checkWritable.
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
    std::unique_ptr<State> s_;
};
