#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class PDFDoc;

// A PDF opened as the source of a conversion. A document that needs a password to be read opens locked:
// it is known to exist and to be encrypted, and unlock() opens it with a password. The page renderer
// opens further copies on its own threads with the path and the password that unlocked it.
class PDFSourceDocument {
public:
    // None when the file is not a PDF at all (or cannot be read). A password given is tried at once,
    // so a document it unlocks opens without the core complaining of a missing one.
    static std::unique_ptr<PDFSourceDocument> open(const QString& path, const QByteArray& utf8Password = {});
    ~PDFSourceDocument();

    PDFSourceDocument(const PDFSourceDocument&) = delete;
    PDFSourceDocument& operator=(const PDFSourceDocument&) = delete;

    bool isEncrypted() const;
    bool isUnlocked() const { return m_unlocked; }

    // True when the document can be read with the password, either as the user's or the owner's
    // password. A document that opens without a user password is readable already: any password
    // unlocks it. A password that open() found wrong is not tried again.
    bool unlock(const QByteArray& utf8Password);

    const QString& path() const { return m_path; }
    // The password that unlocked the document (empty when none was needed).
    const QByteArray& password() const { return m_password; }
    // The open document; null while it is locked.
    PDFDoc* document() const { return m_unlocked ? m_document.get() : nullptr; }
    int pageCount() const;

private:
    PDFSourceDocument(QString path, std::unique_ptr<PDFDoc> document, bool unlocked);

    QString m_path;
    std::unique_ptr<PDFDoc> m_document;
    bool m_unlocked = false;
    QByteArray m_password;
    std::optional<QByteArray> m_refusedPassword;
};
