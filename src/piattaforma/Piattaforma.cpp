#include "Piattaforma.h"

#include "nucleo/elenchi/CartellaListe.h"
#include "piattaforma/Icone.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QStyleOption>
#include <QTranslator>
#include <QWindow>

namespace Piattaforma {

namespace {

// The application's style, but for the icon of the button that offers what a
// menu bar or a tool bar has no room for: every menu bar makes that button,
// hidden, as it is built, and reading its picture from the style's image file
// loads every image format plug-in of the system. The picture is read when the
// button is first drawn.
class StileProgramma : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icona, const QStyleOption *opzione,
                       const QWidget *widget) const override
    {
        if (icona != SP_ToolBarHorizontalExtensionButton &&
            icona != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icona, opzione, widget);
        std::optional<QStyleOption> copia; // the direction is what it tells
        if (opzione) {
            copia = *opzione;
            copia->styleObject = nullptr;
        }
        return Icone::Differita([base = QPointer<QStyle>(baseStyle()), icona, copia] {
            return base ? base->standardIcon(icona, copia ? &*copia : nullptr, nullptr) : QIcon();
        });
    }
};

Risponditore *&RisponditoreInstallato()
{
    static Risponditore *risponditore = nullptr;
    return risponditore;
}

} // namespace

void InstallaRisponditore(Risponditore *risponditore)
{
    RisponditoreInstallato() = risponditore;
}

Risposta RispostaEsc(Pulsanti pulsanti)
{
    switch (pulsanti) {
    case Pulsanti::OK:
    case Pulsanti::OKConfronta:
        return Risposta::OK;
    case Pulsanti::SiNo:
        return Risposta::No;
    case Pulsanti::OKAnnulla:
    case Pulsanti::SiNoAnnulla:
    case Pulsanti::SostituisciAggiungi:
        return Risposta::Annulla;
    }
    return Risposta::Annulla;
}

namespace {

QMessageBox::Icon IconaQt(Icona icona)
{
    switch (icona) {
    case Icona::Informazione:
        return QMessageBox::Information;
    case Icona::Domanda:
        return QMessageBox::Question;
    case Icona::Esclamazione:
        return QMessageBox::Warning;
    case Icona::Critico:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

namespace {
struct VoceMessaggio
{
    Risposta risposta;
    QMessageBox::StandardButton pulsante;
    const char *testo;
};

// The buttons of `pulsanti` in order; the first is the default but where said.
QVector<VoceMessaggio> VociMessaggio(Pulsanti pulsanti)
{
    switch (pulsanti) {
    case Pulsanti::OK:
        return {{Risposta::OK, QMessageBox::Ok, "OK"}};
    case Pulsanti::OKConfronta:
        return {{Risposta::OK, QMessageBox::Ok, "OK"},
                {Risposta::Confronta, QMessageBox::Apply, "C&onfronta..."}};
    case Pulsanti::OKAnnulla:
        return {{Risposta::OK, QMessageBox::Ok, "OK"},
                {Risposta::Annulla, QMessageBox::Cancel, "&Annulla"}};
    case Pulsanti::SiNo:
        return {{Risposta::Si, QMessageBox::Yes, "&Sì"}, {Risposta::No, QMessageBox::No, "&No"}};
    case Pulsanti::SiNoAnnulla:
        return {{Risposta::Si, QMessageBox::Yes, "&Sì"},
                {Risposta::No, QMessageBox::No, "&No"},
                {Risposta::Annulla, QMessageBox::Cancel, "&Annulla"}};
    case Pulsanti::SostituisciAggiungi:
        return {{Risposta::Si, QMessageBox::Yes, "&Sostituisci le righe"},
                {Risposta::No, QMessageBox::No, "&Aggiungi in fondo"},
                {Risposta::Annulla, QMessageBox::Cancel, "A&nnulla"}};
    }
    return {};
}

// The answer Enter gives: the first button, or the one that loses nothing.
Risposta RispostaPredefinita(Pulsanti pulsanti)
{
    return pulsanti == Pulsanti::SostituisciAggiungi ? Risposta::No
                                                     : VociMessaggio(pulsanti).first().risposta;
}
} // namespace

std::unique_ptr<QMessageBox> CreaMessaggio(QWidget *padre, const QString &testo, Pulsanti pulsanti,
                                           Icona icona, const QString &titolo)
{
    auto box =
        std::make_unique<QMessageBox>(IconaQt(icona), titolo, testo, QMessageBox::NoButton, padre);
    // Messages often quote what the user typed: never read it as markup.
    box->setTextFormat(Qt::PlainText);
    const QVector<VoceMessaggio> voci = VociMessaggio(pulsanti);
    QMessageBox::StandardButtons insieme;
    for (const VoceMessaggio &v : voci)
        insieme |= v.pulsante;
    box->setStandardButtons(insieme);
    for (const VoceMessaggio &v : voci) {
        box->button(v.pulsante)->setText(QString::fromUtf8(v.testo));
        if (v.risposta == RispostaPredefinita(pulsanti)) box->setDefaultButton(v.pulsante);
        if (v.risposta == RispostaEsc(pulsanti)) box->setEscapeButton(v.pulsante);
    }
    return box;
}

Risposta MessageBox(QWidget *padre, const QString &testo, Pulsanti pulsanti, Icona icona,
                    const QString &titolo)
{
    if (Risponditore *r = RisponditoreInstallato())
        return r->Messaggio(testo, pulsanti, icona, titolo);

    // A box owned by a disabled window would be disabled too.
    if (padre && !padre->isEnabled()) padre = QApplication::activeWindow();
    if (padre && !padre->isEnabled()) padre = nullptr;
    const std::unique_ptr<QMessageBox> box = CreaMessaggio(padre, testo, pulsanti, icona, titolo);
    const int scelto = box->exec();
    for (const VoceMessaggio &v : VociMessaggio(pulsanti))
        if (v.pulsante == scelto) return v.risposta;
    return RispostaEsc(pulsanti);
}

int MostraModale(QDialog *finestra)
{
    if (Risponditore *r = RisponditoreInstallato()) return r->Modale(finestra);
    return finestra->exec();
}

void MostraSopra(QWidget *finestra, QWidget *principale)
{
    finestra->show();
    if (principale && principale->windowHandle() && finestra->windowHandle())
        finestra->windowHandle()->setTransientParent(principale->windowHandle());
}

namespace {
QElapsedTimer &OrologioCessione()
{
    static QElapsedTimer orologio = [] {
        QElapsedTimer o;
        o.start();
        return o;
    }();
    return orologio;
}
} // namespace

Cessione::Cessione(int intervallo)
    : m_prossima(OrologioCessione().elapsed() + intervallo), m_intervallo(intervallo)
{
}

bool Cessione::operator()()
{
    const qint64 ora = OrologioCessione().elapsed();
    if (ora < m_prossima) return false;
    QCoreApplication::processEvents();
    m_prossima = OrologioCessione().elapsed() + m_intervallo;
    return true;
}

void DialogoFile::ImpostaFiltro(const QString &filtro)
{
    m_descrizioni.clear();
    m_modelli.clear();
    const QStringList parti = filtro.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2) {
        m_descrizioni.append(parti[i]);
        m_modelli.append(parti[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' ')));
    }
}

namespace {
// How long after starting xdg-open its failure still means that no viewer
// was found, in milliseconds.
constexpr qint64 AttesaVisualizzatore = 20000;

// The dialog's file list in Italian whatever the system's language: the
// folders' type (which Qt's translations leave in English) and the dates in
// the program's locale.
class ElencoFileItaliano : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    QVariant data(const QModelIndex &indice, int ruolo) const override
    {
        if (ruolo == Qt::DisplayRole && (indice.column() == 2 || indice.column() == 3)) {
            if (const auto *file = qobject_cast<const QFileSystemModel *>(sourceModel())) {
                const QModelIndex origine = mapToSource(indice);
                if (indice.column() == 3)
                    return QLocale().toString(file->lastModified(origine), QLocale::ShortFormat);
                if (file->isDir(origine)) return QStringLiteral("Cartella");
            }
        }
        return QSortFilterProxyModel::data(indice, ruolo);
    }
};
} // namespace

QString DialogoFile::ConSuffisso(const QString &percorso) const
{
    if (m_suffisso.isEmpty() || !QFileInfo(percorso).suffix().isEmpty()) return percorso;
    return percorso + u'.' + m_suffisso;
}

std::optional<QString> DialogoFile::Mostra(QWidget *padre, Modo modo)
{
    if (Risponditore *r = RisponditoreInstallato()) {
        std::optional<QString> scelto = r->File(modo, m_ultimo, m_descrizioni.value(0));
        if (scelto && modo == Modo::Salva) scelto = ConSuffisso(*scelto);
        if (scelto) m_ultimo = *scelto;
        return scelto;
    }

    // Qt reads the patterns from the last parenthesis of each entry; the
    // descriptions are shown as they are, the patterns hidden.
    QStringList filtriQt;
    for (qsizetype i = 0; i < m_descrizioni.size(); ++i)
        filtriQt.append(m_descrizioni[i] + QStringLiteral(" (") + m_modelli[i] + QLatin1Char(')'));

    QFileDialog dialogo(padre);
    dialogo.setOption(QFileDialog::HideNameFilterDetails);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite); // the program asks on its own
    dialogo.setNameFilters(filtriQt);
    if (!filtriQt.isEmpty()) dialogo.selectNameFilter(filtriQt.first());
    if (modo == Modo::Apri) {
        dialogo.setAcceptMode(QFileDialog::AcceptOpen);
        dialogo.setFileMode(QFileDialog::ExistingFile);
        dialogo.setWindowTitle(QStringLiteral("Apri"));
    } else {
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setFileMode(QFileDialog::AnyFile);
        dialogo.setWindowTitle(QStringLiteral("Salva con nome"));
    }
    dialogo.setProxyModel(new ElencoFileItaliano(&dialogo));
    if (!m_ultimo.isEmpty()) dialogo.selectFile(m_ultimo);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    m_ultimo = dialogo.selectedFiles().first();
    if (modo == Modo::Salva) m_ultimo = ConSuffisso(m_ultimo);
    return m_ultimo;
}

bool AvviaVisualizzatore(const QString &percorso, const std::function<void()> &nonAperto)
{
    if (Risponditore *r = RisponditoreInstallato()) return r->Visualizzatore(percorso, nonAperto);
    // xdg-open ends at once with a failure when the desktop has no program
    // for the file (no browser installed); a viewer it hands the file to may
    // run long after it, and a failure then is the viewer's own.
    auto *processo = new QProcess;
    processo->setProgram(QStringLiteral("xdg-open"));
    processo->setArguments({percorso});
    processo->setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer orologio;
    orologio.start();
    QObject::connect(processo, &QProcess::finished, processo,
                     [processo, orologio, nonAperto](int codice, QProcess::ExitStatus stato) {
                         processo->deleteLater();
                         if ((stato != QProcess::NormalExit || codice != 0) && nonAperto &&
                             orologio.elapsed() < AttesaVisualizzatore)
                             nonAperto();
                     });
    processo->start();
    if (!processo->waitForStarted()) {
        delete processo;
        return false;
    }
    // Never owned by another object: a viewer still running when the program
    // ends runs on (a QProcess destroyed with its owner would kill it).
    return true;
}

void PuntatoreOccupato(QWidget *finestra, bool occupato)
{
    if (!finestra) return;
    if (occupato)
        finestra->setCursor(Qt::WaitCursor);
    else
        finestra->unsetCursor();
}

bool HaPuntatoreOccupato(const QWidget *finestra)
{
    return finestra && finestra->testAttribute(Qt::WA_SetCursor) &&
           finestra->cursor().shape() == Qt::WaitCursor;
}

namespace {
double PuntiPerPollice()
{
    const QScreen *schermo = QGuiApplication::primaryScreen();
    const double dpi = schermo ? schermo->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}
} // namespace

int Pixel(int twip)
{
    return qRound(twip * PuntiPerPollice() / 1440.0);
}
QPushButton *Pulsante(QWidget *padre, const char *nome, const QString &testo, int x, int y,
                      int larghezza, int altezza)
{
    auto *pulsante = new QPushButton(testo, padre);
    pulsante->setObjectName(QString::fromLatin1(nome));
    pulsante->setGeometry(Pixel(x), Pixel(y), Pixel(larghezza), Pixel(altezza));
    return pulsante;
}

int Twip(int pixel)
{
    return qRound(pixel * 1440.0 / PuntiPerPollice());
}

QSize DimensioneSchermo()
{
    if (Risponditore *r = RisponditoreInstallato())
        if (const std::optional<QSize> schermo = r->Schermo()) return *schermo;
    const QScreen *schermo = QGuiApplication::primaryScreen();
    const QSize px = schermo ? schermo->size() : QSize(1024, 768);
    return {Twip(px.width()), Twip(px.height())};
}

QString CartellaListe()
{
    return ScegliCartellaListe(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

namespace {

// Qt's Italian translations, so that standard dialogs speak Italian.
void CaricaTraduzioni(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString cartella = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *traduttore = new QTranslator(&app);
    if (traduttore->load(QStringLiteral("qtbase_it"), cartella))
        app.installTranslator(traduttore);
    else
        delete traduttore;
}

// The windows are laid out in twips for an 8-point sans-serif font: use one.
void ImpostaCarattere(QApplication &app)
{
    QFont carattere(QStringLiteral("Arial"), 8);
    carattere.setStyleHint(QFont::SansSerif);
    app.setFont(carattere);
}

} // namespace

void PreparaApplicazione(QApplication &app)
{
    QApplication::setStyle(new StileProgramma);
    QApplication::setApplicationName(QStringLiteral("quadrivo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quadrivo"));
    CaricaTraduzioni(app);
    ImpostaCarattere(app);
}

} // namespace Piattaforma
