#pragma once

#include <cstdio>
#include <memory>
#include <string>

// An output file written under a temporary name beside its target and renamed onto the target only when
// it was written whole: a failed write leaves neither a partial file nor a changed target behind.
class StagedOutputFile {
public:
    explicit StagedOutputFile(const char* targetPath);
    StagedOutputFile(const StagedOutputFile&) = delete;
    StagedOutputFile& operator=(const StagedOutputFile&) = delete;
    ~StagedOutputFile();

    // Null when the temporary file could not be created.
    FILE* file() const { return m_file.get(); }

    // Closes the file and puts it in the target's place. False when any write, the close or the rename
    // failed; the temporary file is then removed.
    bool commit();

private:
    struct FileClose {
        void operator()(FILE* file) const { std::fclose(file); }
    };

    std::string m_target;
    std::string m_temporary;
    std::unique_ptr<FILE, FileClose> m_file;
};
