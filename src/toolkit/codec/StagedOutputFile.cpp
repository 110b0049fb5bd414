#include "toolkit/codec/StagedOutputFile.h"

#include "common/TemporaryFileNames.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string TemporaryPathBeside(const std::string& target)
{
    const QString folder = QFileInfo(QFile::decodeName(target.c_str())).absolutePath();
    const QUrl temporary = WBQUtil::GetTemporaryURLInDirectory(folder, QStringLiteral("."), QStringLiteral("part"));
    return QFile::encodeName(temporary.toLocalFile()).toStdString();
}

} // namespace

StagedOutputFile::StagedOutputFile(const char* targetPath)
    : m_target(targetPath ? targetPath : "")
{
    if (m_target.empty())
        return;
    m_temporary = TemporaryPathBeside(m_target);
    // Created with the permissions a plain fopen would give, not the private ones of mkstemp.
    const int descriptor = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return;
    m_file.reset(::fdopen(descriptor, "wb"));
    if (!m_file) {
        ::close(descriptor);
        ::unlink(m_temporary.c_str());
    }
}

StagedOutputFile::~StagedOutputFile()
{
    if (m_file) {
        m_file.reset();
        ::unlink(m_temporary.c_str());
    }
}

bool StagedOutputFile::commit()
{
    if (!m_file)
        return false;
    const bool written = !std::ferror(m_file.get());
    const bool closed = std::fclose(m_file.release()) == 0;
    if (written && closed && std::rename(m_temporary.c_str(), m_target.c_str()) == 0)
        return true;
    ::unlink(m_temporary.c_str());
    return false;
}
