// A file that is only ever replaced whole: each new content goes to a
// temporary file beside it, reaches the disk, and is renamed over the old
// one, so that a reader (or a crash) only ever meets a whole file.
#pragma once

#include <string>

class AtomicFile {
public:
    explicit AtomicFile(std::string path) : m_path(std::move(path)) { }

    const std::string& Path() const { return m_path; }

    // Whether the file can be written, before anything is: the path is no
    // folder or device, its folder exists, and a file can be made in it.
    // On failure error is "PREFIX: cause".
    bool Check(const std::string& prefix, std::string& error) const;

    // Replaces the file with text. On failure the old file stays and error
    // says why.
    bool Replace(const std::string& text, std::string& error) const;

    // The folder the file lies in ("." for a bare name).
    std::string Folder() const;

private:
    std::string m_path;
};

// Writes all of text to fd, going on after interruptions.
bool WriteAll(int fd, const std::string& text);
