#include "Evidenziatore.h"

#include "finestre/Colori.h"
#include "finestre/EditorTesto.h"

#include <QTextDocument>

namespace {
// Typing waits this long before the text is scanned again.
constexpr int PausaScansione = 250;
// Colouring costs about 0.16 s a megabyte at each rescan: a larger text is
// shown plain so that typing in it stays smooth.
constexpr int LimiteColorazione = 2 * 1024 * 1024;
} // namespace

Evidenziatore::Evidenziatore(EditorTesto *editor)
    : QSyntaxHighlighter(editor->document()), m_editor(editor)
{
    m_attesa.setSingleShot(true);
    m_attesa.setInterval(PausaScansione);
    connect(&m_attesa, &QTimer::timeout, this, &Evidenziatore::Aggiorna);
    connect(editor->document(), &QTextDocument::contentsChange, this,
            [this](int, int rimossi, int aggiunti) {
                if ((rimossi || aggiunti) && m_tipo.linguaggio != Linguaggio::Nessuno)
                    m_attesa.start();
            });
}

void Evidenziatore::ImpostaTipo(const TipoTesto &tipo)
{
    if (tipo == m_tipo) return;
    m_tipo = tipo;
    Aggiorna();
}

void Evidenziatore::Aggiorna()
{
    m_attesa.stop();
    ZoneProtette zone = m_tipo.linguaggio == Linguaggio::Nessuno ||
                                m_editor->document()->characterCount() > LimiteColorazione
                            ? ZoneProtette()
                            : ScansionaCodice(m_editor->Text(), m_tipo);
    if (zone.Vuote() && m_zone.Vuote()) return;
    m_zone = std::move(zone);
    rehighlight();
}

void Evidenziatore::highlightBlock(const QString &testo)
{
    const QVector<Zona> &zone = m_zone.Elenco();
    if (zone.isEmpty()) return;
    // The zones count a line break as CR LF: one more character per line before.
    const QTextBlock blocco = currentBlock();
    const qsizetype inizio = blocco.position() + blocco.blockNumber();
    const qsizetype fine = inizio + testo.size();
    auto z = std::upper_bound(zone.cbegin(), zone.cend(), inizio,
                              [](qsizetype i, const Zona &zona) { return i < zona.fine; });
    QTextCharFormat formato;
    formato.setForeground(Colori::Commento(m_editor->palette()));
    for (; z != zone.cend() && z->inizio < fine; ++z) {
        const qsizetype da = std::max(z->inizio, inizio);
        const qsizetype a = std::min(z->fine, fine);
        if (a > da) setFormat(int(da - inizio), int(a - da), formato);
    }
}
