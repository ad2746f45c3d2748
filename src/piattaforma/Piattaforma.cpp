#include "Piattaforma.h"

#include "nucleo/elenchi/CartellaListe.h"
#include "piattaforma/Icone.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
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

Risposta MessageBox(QWidget *padre, const QString &testo, Pulsanti pulsanti, Icona icona,
                    const QString &titolo)
{
    if (Risponditore *r = RisponditoreInstallato())
        return r->Messaggio(testo, pulsanti, icona, titolo);

    // A box owned by a disabled window would be disabled too.
    if (padre && !padre->isEnabled()) padre = QApplication::activeWindow();
    if (padre && !padre->isEnabled()) padre = nullptr;
    QMessageBox box(IconaQt(icona), titolo, testo, QMessageBox::NoButton, padre);
    // Messages often quote what the user typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    struct Voce
    {
        Risposta risposta;
        QMessageBox::StandardButton pulsante;
        const char *testo;
    };
    QVector<Voce> voci;
    switch (pulsanti) {
    case Pulsanti::OK:
        voci = {{Risposta::OK, QMessageBox::Ok, "OK"}};
        break;
    case Pulsanti::OKConfronta:
        voci = {{Risposta::OK, QMessageBox::Ok, "OK"},
                {Risposta::Confronta, QMessageBox::Apply, "C&onfronta..."}};
        break;
    case Pulsanti::OKAnnulla:
        voci = {{Risposta::OK, QMessageBox::Ok, "OK"},
                {Risposta::Annulla, QMessageBox::Cancel, "&Annulla"}};
        break;
    case Pulsanti::SiNo:
        voci = {{Risposta::Si, QMessageBox::Yes, "&Sì"}, {Risposta::No, QMessageBox::No, "&No"}};
        break;
    case Pulsanti::SiNoAnnulla:
        voci = {{Risposta::Si, QMessageBox::Yes, "&Sì"},
                {Risposta::No, QMessageBox::No, "&No"},
                {Risposta::Annulla, QMessageBox::Cancel, "&Annulla"}};
        break;
    }
    QMessageBox::StandardButtons insieme;
    for (const Voce &v : voci)
        insieme |= v.pulsante;
    box.setStandardButtons(insieme);
    for (const Voce &v : voci)
        box.button(v.pulsante)->setText(QString::fromUtf8(v.testo));
    box.setDefaultButton(voci.first().pulsante);
    for (const Voce &v : voci)
        if (v.risposta == RispostaEsc(pulsanti)) box.setEscapeButton(v.pulsante);
    const int scelto = box.exec();
    for (const Voce &v : voci)
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

std::optional<QString> DialogoFile::Mostra(QWidget *padre, Modo modo)
{
    if (Risponditore *r = RisponditoreInstallato()) {
        std::optional<QString> scelto = r->File(modo, m_ultimo, m_descrizioni.value(0));
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
    if (!m_ultimo.isEmpty()) dialogo.selectFile(m_ultimo);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    m_ultimo = dialogo.selectedFiles().first();
    return m_ultimo;
}

bool AvviaVisualizzatore(const QString &percorso)
{
    if (Risponditore *r = RisponditoreInstallato()) return r->Visualizzatore(percorso);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {percorso});
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
