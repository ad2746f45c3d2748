#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Telling a list file's format from its bytes: records of the program's own
// .dat lists, or a text list (UTF-8, one entry per line). A file is taken as
// records only when it is a whole number of them and every record's fields
// read as text; otherwise as a text when it is one; otherwise it is neither.
namespace FormatoElenco {

enum class Tipo { Record, Testo };

struct Esito
{
    std::optional<Tipo> tipo; // empty: neither
    QString motivo;           // why it is neither
};

Esito Riconosci(QByteArrayView dati);

// Whether a record's length fields stay inside it and its texts hold no zero
// byte (which no entry's Windows-1252 text has).
bool RecordLeggibile(QByteArrayView record);

// What is wrong with a file read as records, for a note to the user: a
// partial record at the end, or the first record whose fields do not read as
// text; empty when nothing is.
QString DifettiRecord(QByteArrayView dati);
// The same from what a reader of the records found: the first record (from
// 1) that does not read as text, or 0, and the bytes of a part-record at the
// end, or 0.
QString DescriviDifetti(qsizetype primoIlleggibile, qsizetype byteInParte);

} // namespace FormatoElenco
