#include "Icone.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Icone {

namespace {

template <typename Disegno> QIcon Crea(std::initializer_list<int> lati, Disegno disegna)
{
    QIcon icona;
    for (int lato : lati) {
        QPixmap immagine(lato, lato);
        immagine.fill(Qt::transparent);
        QPainter p(&immagine);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lato / 32.0, lato / 32.0);
        disegna(p);
        p.end();
        icona.addPixmap(immagine);
    }
    return icona;
}

// A page with lines of text, the first few turned into another colour.
void Pagina(QPainter &p, QColor carta, QColor righe, QColor evidenza)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(carta);
    p.drawRoundedRect(QRectF(5, 2, 22, 28), 2, 2);
    p.setPen(QPen(righe, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(9, 8 + i * 4.5), QPointF(i % 2 ? 19 : 23, 8 + i * 4.5));
    p.setPen(QPen(evidenza, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 8), QPointF(15, 8));
    p.drawLine(QPointF(9, 17), QPointF(14, 17));
}

QIcon Freccia(bool su)
{
    return Crea({16, 24, 32}, [su](QPainter &p) {
        QPainterPath freccia;
        freccia.moveTo(16, 4);
        freccia.lineTo(28, 17);
        freccia.lineTo(20, 17);
        freccia.lineTo(20, 28);
        freccia.lineTo(12, 28);
        freccia.lineTo(12, 17);
        freccia.lineTo(4, 17);
        freccia.closeSubpath();
        if (!su) {
            p.translate(0, 32);
            p.scale(1, -1);
        }
        p.setPen(QPen(QColor(20, 60, 120), 1.5));
        p.setBrush(QColor(60, 130, 210));
        p.drawPath(freccia);
    });
}

} // namespace

namespace {
void DisegnaProgramma(QPainter &p)
{
    Pagina(p, QColor(255, 252, 235), QColor(120, 120, 140), QColor(0, 140, 70));
    // four roads meeting: the crossroads the program is named after
    p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 20), QPointF(30, 20));
    p.drawLine(QPointF(23, 13), QPointF(23, 27));
}
} // namespace

QIcon Programma()
{
    return Differita([] { return Crea({16, 32, 48}, DisegnaProgramma); });
}

QImage ImmagineProgramma(int lato)
{
    QImage immagine(lato, lato, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::transparent);
    QPainter p(&immagine);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lato / 32.0, lato / 32.0);
    DisegnaProgramma(p);
    return immagine;
}

QIcon Riga()
{
    return Crea(
        {16}, [](QPainter &p) { Pagina(p, Qt::white, QColor(90, 90, 110), QColor(0, 120, 200)); });
}

QIcon FrecciaSu()
{
    return Freccia(true);
}
QIcon FrecciaGiu()
{
    return Freccia(false);
}

QIcon Pseudo()
{
    return Crea({32, 48}, [](QPainter &p) {
        Pagina(p, QColor(240, 248, 255), QColor(100, 110, 140), QColor(200, 100, 0));
        p.setPen(QPen(QColor(0, 110, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 24), QPointF(26, 24));
        p.drawLine(QPointF(22, 20), QPointF(26, 24));
        p.drawLine(QPointF(22, 28), QPointF(26, 24));
    });
}

namespace {

class MotoreDifferito : public QIconEngine
{
public:
    explicit MotoreDifferito(std::function<QIcon()> crea)
        : m_stato(std::make_shared<Stato>(Stato{std::move(crea), {}}))
    {
    }

    void paint(QPainter *p, const QRect &r, QIcon::Mode modo, QIcon::State stato) override
    {
        Icona().paint(p, r, Qt::AlignCenter, modo, stato);
    }
    QPixmap pixmap(const QSize &lato, QIcon::Mode modo, QIcon::State stato) override
    {
        return Icona().pixmap(lato, modo, stato);
    }
    QPixmap scaledPixmap(const QSize &lato, QIcon::Mode modo, QIcon::State stato,
                         qreal scala) override
    {
        return Icona().pixmap(lato, scala, modo, stato);
    }
    QSize actualSize(const QSize &lato, QIcon::Mode modo, QIcon::State stato) override
    {
        return Icona().actualSize(lato, modo, stato);
    }
    QList<QSize> availableSizes(QIcon::Mode modo, QIcon::State stato) override
    {
        return Icona().availableSizes(modo, stato);
    }
    // Not made yet, it counts as an icon: asking whether there is one (as
    // setting a window's icon does) must not make it.
    bool isNull() override { return !m_stato->crea && m_stato->icona.isNull(); }
    QString key() const override { return QStringLiteral("QuadrivoDifferita"); }
    QIconEngine *clone() const override { return new MotoreDifferito(*this); }

private:
    struct Stato
    {
        std::function<QIcon()> crea; // emptied once the icon is made
        QIcon icona;
    };
    std::shared_ptr<Stato> m_stato;

    const QIcon &Icona()
    {
        if (m_stato->crea) m_stato->icona = std::exchange(m_stato->crea, nullptr)();
        return m_stato->icona;
    }
};

} // namespace

QIcon Differita(std::function<QIcon()> crea)
{
    return QIcon(new MotoreDifferito(std::move(crea)));
}

} // namespace Icone
