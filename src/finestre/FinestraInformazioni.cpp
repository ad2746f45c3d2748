#include "FinestraInformazioni.h"

#include "piattaforma/Icone.h"
#include "piattaforma/Piattaforma.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

using Piattaforma::Pixel;
using Piattaforma::Pulsante;

namespace {

// The background: a pale sky over four roads meeting, 397 × 270 pixels.
QPixmap Sfondo()
{
    QPixmap immagine(397, 270);
    QPainter p(&immagine);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient cielo(0, 0, 0, 270);
    cielo.setColorAt(0, QColor(235, 243, 252));
    cielo.setColorAt(1, QColor(250, 246, 232));
    p.fillRect(immagine.rect(), cielo);
    p.setPen(QPen(QColor(220, 214, 196), 26, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(300, 0), QPointF(300, 270));
    p.drawLine(QPointF(160, 200), QPointF(397, 200));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawLine(QPointF(300, 0), QPointF(300, 270));
    p.drawLine(QPointF(160, 200), QPointF(397, 200));
    return immagine;
}

QLabel *Etichetta(QWidget *padre, const char *nome, const QString &testo, qreal punti,
                  bool grassetto, bool corsivo, int y, int altezza)
{
    auto *l = new QLabel(testo, padre);
    l->setObjectName(QString::fromLatin1(nome));
    QFont carattere(QStringLiteral("Arial"));
    carattere.setPointSizeF(punti);
    carattere.setBold(grassetto);
    carattere.setItalic(corsivo);
    l->setFont(carattere);
    // The picture behind is light whatever the theme: dark text on it.
    QPalette tavolozza = l->palette();
    tavolozza.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
    l->setPalette(tavolozza);
    l->setWordWrap(true);
    l->setGeometry(Pixel(1080), Pixel(y), Pixel(3600), Pixel(altezza));
    return l;
}

} // namespace

FinestraInformazioni::FinestraInformazioni(const QString &cartellaProgramma, QWidget *padre)
    : QDialog(padre), m_cartella(cartellaProgramma), m_sfondo(Sfondo())
{
    setObjectName(QStringLiteral("FinestraInformazioni"));
    setWindowTitle(QStringLiteral("Informazioni su..."));
    setWindowIcon(Icone::Programma());
    setFixedSize(Pixel(4860), Pixel(3045));

    ImmagineProgramma = new QLabel(this);
    ImmagineProgramma->setObjectName(QStringLiteral("ImmagineProgramma"));
    ImmagineProgramma->setPixmap(Icone::Programma().pixmap(48, 48));
    ImmagineProgramma->setGeometry(Pixel(240), Pixel(240), Pixel(720), Pixel(720));

    Titolo = Etichetta(this, "Titolo", QStringLiteral("Quadrivo"), 14.25, true, false, 240, 400);
    Descrizione =
        Etichetta(this, "Descrizione",
                  QStringLiteral("Trasforma il codice sorgente in un abbozzo di pseudocodifica"),
                  8.25, false, true, 720, 480);
    Versione =
        Etichetta(this, "Versione", QStringLiteral("Versione 1"), 8.25, false, false, 1320, 255);

    BottoneOk = Pulsante(this, "BottoneOk", QStringLiteral("OK"), 3360, 2040, 1335, 375);
    BottoneOk->setDefault(true);
    connect(BottoneOk, &QPushButton::clicked, this, &FinestraInformazioni::Chiudi);
    BottoneCrediti =
        Pulsante(this, "BottoneCrediti", QStringLiteral("&Crediti"), 3360, 2520, 1335, 375);
    BottoneCrediti->setAutoDefault(false);
    connect(BottoneCrediti, &QPushButton::clicked, this, &FinestraInformazioni::MostraCrediti);
}

QString FinestraInformazioni::PercorsoCrediti() const
{
    // Beside the program in the build folder; in share/quadrivo once installed.
    const QDir cartella(m_cartella);
    const QString accanto = cartella.filePath(QStringLiteral("crediti.html"));
    const QString installato = cartella.filePath(QStringLiteral("../share/quadrivo/crediti.html"));
    if (!QFileInfo::exists(accanto) && QFileInfo::exists(installato))
        return QDir::cleanPath(installato);
    return accanto;
}

void FinestraInformazioni::Chiudi()
{
    accept();
}

void FinestraInformazioni::MostraCrediti()
{
    // The viewer runs on by itself; the window does not wait for it.
    const QString percorso = PercorsoCrediti();
    // Asked of the main window: the about window may be closed by then.
    QPointer<QWidget> padre = parentWidget();
    const auto nessunBrowser = [padre, percorso] {
        Piattaforma::MessageBox(
            padre,
            QStringLiteral("Impossibile mostrare i crediti: sul desktop non c'è un programma che "
                           "apra le pagine HTML (un browser).\r\nInstallarne uno (per esempio "
                           "il pacchetto firefox-esr) oppure aprire a mano il file \"%1\".")
                .arg(QDir::toNativeSeparators(percorso)),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione, QStringLiteral("Crediti"));
    };
    if (Piattaforma::AvviaVisualizzatore(percorso, nessunBrowser)) return;
    Piattaforma::MessageBox(
        this,
        QStringLiteral("Impossibile avviare xdg-open, il programma che apre i file con il "
                       "visualizzatore del desktop; controllare di aver installato il "
                       "pacchetto xdg-utils e di non averlo rimosso!\r\n"
                       "Se non è installato, scaricarlo dal sito "
                       "https://www.freedesktop.org/wiki/Software/xdg-utils/"),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico, QStringLiteral("Appunti"));
}

void FinestraInformazioni::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_sfondo); // from the top-left corner, cut by the window's edges
    QDialog::paintEvent(e);
}
