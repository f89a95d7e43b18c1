#pragma once

#include <QByteArray>
#include <QString>
#include <ctime>

// Files that tests make and read back.

// A file's whole content, or "<unreadable>" when it is missing or cannot be read, which no
// test writes, so that a missing file never passes for an expected content.
QByteArray readAll(const QString &path);

// Writes a file, making its folder first if need be, with a fixed mode and modification time
// (nanoseconds included) so that a copy can be checked to keep them. A file that cannot be
// written stops the program: the test would have nothing left to check.
void makeFile(const QString &path, const QByteArray &content, int mode = 0644,
              std::time_t mtime = 981173106);

// The file "café.txt" with its name in Latin-1, which is not UTF-8: text decodes it into
// "caf\uFFFD.txt", the name of another file. QTemporaryDir removes by text and cannot reach
// this name, so the file goes away with this object.
class Latin1NamedFile {
public:
    explicit Latin1NamedFile(const QString &folder);
    ~Latin1NamedFile();
    Latin1NamedFile(const Latin1NamedFile &) = delete;
    Latin1NamedFile &operator=(const Latin1NamedFile &) = delete;

    // False, with the system's reason in errorText(), when the file cannot be made.
    bool create(const QByteArray &content = {});
    QString errorText() const { return m_error; }
    // The path that text decoding gives for it, which names another file.
    QString decodedPath() const { return m_folder + QStringLiteral("/caf\uFFFD.txt"); }

private:
    QString m_folder;
    QByteArray m_path;
    QString m_error;
};
