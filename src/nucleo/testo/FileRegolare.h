#pragma once

// Opening files the program reads whole or keeps open: only regular files (or
// links to one) of bounded size. A named pipe would block the open or the read
// until a writer comes, a device such as /dev/zero never ends, and a folder or
// a socket holds no bytes to read.

#include "nucleo/testo/ErroreFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace FileRegolare {

// Opens `percorso` with `modo` (O_RDONLY or O_RDWR, with O_CREAT to create a
// missing file); O_NONBLOCK and O_CLOEXEC are added. The type and size are
// looked at before opening, so nothing can block, and again once open, in case
// the path was replaced in between. The descriptor (and its size in
// `dimensione`), or -1 with `errore` set: the system's error, a folder
// (EISDIR), something that is not a file (EINVAL) or a file larger than
// `limite` bytes (EFBIG).
int Apri(const QString &percorso, int modo, qint64 limite, ErroreFile *errore,
         qint64 *dimensione = nullptr);

// True when `errore` from Apri refused the path for what it is, not because
// the system could not open it: a folder, not a file, or too large.
bool Rifiutato(const ErroreFile &errore);

// The whole file, opened with Apri; a file that grows past `limite` while it
// is read is refused too. It takes the memory of its size, and of what it
// grew by.
std::optional<QByteArray> Leggi(const QString &percorso, qint64 limite, ErroreFile *errore);

// Why `percorso` (after links) cannot be read as a file: it is something
// other than a regular file, or cannot even be looked at; nothing when it is
// a regular file or is missing. Nothing is opened, so nothing can block.
std::optional<ErroreFile> NonRegolare(const QString &percorso);

// The error of a file larger than `limite` bytes.
ErroreFile TroppoGrande(qint64 limite);

} // namespace FileRegolare
