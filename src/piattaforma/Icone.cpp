#include "Icone.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Icone {

namespace {

// A picture drawn in code at whatever size and scale it is asked for, as a
// vector image is: sharp at 200% as at 100%. `lati` are the sizes it lists.
class MotoreVettoriale : public QIconEngine
{
public:
    MotoreVettoriale(QList<int> lati, std::function<void(QPainter &)> disegna)
        : m_lati(std::move(lati)), m_disegna(std::move(disegna))
    {
    }
    void paint(QPainter *p, const QRect &r, QIcon::Mode modo, QIcon::State) override
    {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        // Disabled: the same picture, faded.
        if (modo == QIcon::Disabled) p->setOpacity(0.4);
        const int lato = std::min(r.width(), r.height());
        p->translate(r.x() + (r.width() - lato) / 2.0, r.y() + (r.height() - lato) / 2.0);
        p->scale(lato / 32.0, lato / 32.0);
        m_disegna(*p);
        p->restore();
    }
    QPixmap pixmap(const QSize &lato, QIcon::Mode modo, QIcon::State stato) override
    {
        return scaledPixmap(lato, modo, stato, 1.0);
    }
    // QIcon asks for the size in device pixels already: `scala` only labels it.
    QPixmap scaledPixmap(const QSize &pixel, QIcon::Mode modo, QIcon::State stato,
                         qreal scala) override
    {
        if (pixel.isEmpty()) return {};
        QPixmap immagine(pixel);
        immagine.fill(Qt::transparent);
        QPainter p(&immagine);
        paint(&p, QRect(QPoint(0, 0), pixel), modo, stato);
        p.end();
        immagine.setDevicePixelRatio(scala);
        return immagine;
    }
    QSize actualSize(const QSize &lato, QIcon::Mode, QIcon::State) override { return lato; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> lati;
        for (int lato : m_lati)
            lati.append(QSize(lato, lato));
        return lati;
    }
    QString key() const override { return QStringLiteral("MotoreVettoriale"); }
    QIconEngine *clone() const override { return new MotoreVettoriale(*this); }

private:
    QList<int> m_lati;
    std::function<void(QPainter &)> m_disegna;
};

QIcon Crea(std::initializer_list<int> lati, std::function<void(QPainter &)> disegna)
{
    return QIcon(new MotoreVettoriale(lati, std::move(disegna)));
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
    // `pixel` is in device pixels: the icon asked for is that divided by the scale.
    QPixmap scaledPixmap(const QSize &pixel, QIcon::Mode modo, QIcon::State stato,
                         qreal scala) override
    {
        if (scala <= 0) scala = 1;
        return Icona().pixmap((QSizeF(pixel) / scala).toSize(), scala, modo, stato);
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
