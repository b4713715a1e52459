// A file that is only ever replaced whole: each new content is written to a
// temporary file in the same folder, reaches the disk, and is renamed over
// the old one, and the folder is synced so that the rename lasts too. A
// reader (or a crash) only ever meets a whole file, with the permissions the
// replaced one had.
//
// The temporary file has no name while it is written, where the file system
// makes such files (O_TMPFILE), so that a process killed mid-write leaves
// nothing behind. It is given the one fixed name TemporaryPath() only for
// the moment between being linked and being renamed, or for the whole write
// where unnamed files cannot be made. Either way a kill leaves at most that
// one file, which is ours by its name: the next Check or Replace removes it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class AtomicFile {
public:
    explicit AtomicFile(std::string path) : m_path(std::move(path)) { }

    const std::string& Path() const { return m_path; }

    // The name the new content has just before it replaces the file.
    std::string TemporaryPath() const { return m_path + ".tarvolin-scan.tmp"; }

    // Whether the file can be written, before anything is: the path is no
    // folder or device, its folder exists, and a file can be made in it. A
    // temporary file an earlier run left behind is removed. On failure error
    // is "PREFIX: cause".
    bool Check(const std::string& prefix, std::string& error) const;

    // What a file to be continued can read back: false, with reason (the
    // rest of a sentence about the file), when text is not one to continue.
    using Reader = std::function<bool(std::string_view text, std::string& reason)>;

    // Opens a file that each run continues: Check, then hands what the file
    // holds to read, unless there is no file or it is empty (a new one is
    // started). A file read refuses is left as it is. On failure error is
    // "PREFIX: cause", or "PREFIX: REASON (a new one needs a new file)".
    bool Open(const std::string& prefix, const Reader& read, std::string& error) const;

    // Replaces the file with text. On failure the old file stays and error
    // says why.
    bool Replace(const std::string& text, std::string& error) const;

    // The folder the file lies in ("." for a bare name).
    std::string Folder() const;

private:
    // Writes text to a new temporary file and gives it TemporaryPath();
    // the mode is the one the file will have.
    bool WriteUnnamed(const std::string& text, unsigned mode) const;
    bool WriteNamed(const std::string& text, unsigned mode, std::string& error) const;

    std::string m_path;
};

// Writes all of text to fd, going on after interruptions.
bool WriteAll(int fd, const std::string& text);
