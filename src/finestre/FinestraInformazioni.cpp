#include "FinestraInformazioni.h"

#include "piattaforma/Icone.h"
#include "piattaforma/Piattaforma.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

using Piattaforma::Pixel;

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

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Icone::Programma().pixmap(48, 48));
    Image1->setGeometry(Pixel(240), Pixel(240), Pixel(720), Pixel(720));

    Titolo = Etichetta(this, "Label1", QStringLiteral("Quadrivo"), 14.25, true, false, 240, 400);
    Descrizione =
        Etichetta(this, "Label2",
                  QStringLiteral("Trasforma il codice sorgente in un abbozzo di pseudocodifica"),
                  8.25, false, true, 720, 480);
    Versione =
        Etichetta(this, "Label3", QStringLiteral("Versione 1"), 8.25, false, false, 1320, 255);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Pixel(3360), Pixel(2040), Pixel(1335), Pixel(375));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FinestraInformazioni::Command1_Click);
    Command2 = new QPushButton(QStringLiteral("&Crediti"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Pixel(3360), Pixel(2520), Pixel(1335), Pixel(375));
    Command2->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, &FinestraInformazioni::Command2_Click);
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

void FinestraInformazioni::Command1_Click()
{
    accept();
}

void FinestraInformazioni::Command2_Click()
{
    // The viewer runs on by itself; the window does not wait for it.
    if (Piattaforma::AvviaVisualizzatore(PercorsoCrediti())) return;
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
