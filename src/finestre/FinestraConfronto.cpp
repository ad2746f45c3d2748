#include "FinestraConfronto.h"

#include "finestre/EditorTesto.h"
#include "piattaforma/Piattaforma.h"

#include <QAbstractTableModel>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Colonna { NumeroOriginale, TestoOriginale, NumeroAttuale, TestoAttuale, Colonne };
constexpr int RuoloSegni = Qt::UserRole;
// The editor's mark colour, darker: a thin line must stand out on white.
const QColor ColoreSottolineato = EditorTesto::ColoreSegni().darker(160);

// The comparison as table rows: it reads the result, built once, and makes
// nothing per row until the row is shown.
class ModelloConfronto : public QAbstractTableModel
{
public:
    ModelloConfronto(const Confronto::Risultato &r, QObject *padre)
        : QAbstractTableModel(padre), m_r(r)
    {
    }
    int rowCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : int(m_r.Righe.size());
    }
    int columnCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : Colonne;
    }
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo) const override
    {
        if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return {};
        switch (sezione) {
        case TestoOriginale:
            return QStringLiteral("Originale");
        case TestoAttuale:
            return QStringLiteral("Attuale");
        default:
            return QStringLiteral("Riga");
        }
    }
    QVariant data(const QModelIndex &indice, int ruolo) const override
    {
        const Confronto::Riga &riga = m_r.Righe[indice.row()];
        const bool sinistra = indice.column() < NumeroAttuale;
        const qsizetype numero = sinistra ? riga.Originale : riga.Attuale;
        if (ruolo == Qt::BackgroundRole && riga.Cambiata)
            return QColor(numero < 0 ? QColor(0xe8, 0xe8, 0xe8) : QColor(0xff, 0xf6, 0xd5));
        if (numero < 0) return {};
        if (ruolo == Qt::DisplayRole) {
            if (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale)
                return QString::number(numero + 1);
            return (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[numero];
        }
        if (ruolo == Qt::TextAlignmentRole &&
            (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (ruolo == RuoloSegni && indice.column() == (sinistra ? TestoOriginale : TestoAttuale))
            return QVariant::fromValue(indice.row());
        return {};
    }

private:
    const Confronto::Risultato &m_r;
};

// Draws a line with its changed words on a stronger background; tabs as
// spaces so that the marks fall on their words.
class DelegatoSegni : public QStyledItemDelegate
{
public:
    DelegatoSegni(const Confronto::Risultato &r,
                  const QHash<qsizetype, QList<Confronto::Tratto>> &segniCorsa, QObject *padre)
        : QStyledItemDelegate(padre), m_r(r), m_segniCorsa(segniCorsa)
    {
    }
    void paint(QPainter *p, const QStyleOptionViewItem &opzione,
               const QModelIndex &indice) const override
    {
        const QVariant riga = indice.data(RuoloSegni);
        if (!riga.isValid()) {
            QStyledItemDelegate::paint(p, opzione, indice);
            return;
        }
        const Confronto::Riga &r = m_r.Righe[riga.toInt()];
        const bool sinistra = indice.column() == TestoOriginale;
        const QString testo =
            (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[sinistra ? r.Originale : r.Attuale];
        const QList<Confronto::Tratto> &segni = sinistra ? r.SegniOriginale : r.SegniAttuale;

        QStyleOptionViewItem base = opzione;
        initStyleOption(&base, indice);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, p, base.widget);

        const QString mostrato = QString(testo).replace(u'\t', u' ');
        const QFontMetrics misure(opzione.font);
        const QRect area = opzione.rect.adjusted(3, 0, -3, 0);
        p->save();
        p->setClipRect(opzione.rect);
        const QColor segno = sinistra ? QColor(0xff, 0xb3, 0xb3) : QColor(0xa6, 0xe6, 0xa6);
        for (const Confronto::Tratto &t : segni) {
            const int x = misure.horizontalAdvance(mostrato.left(t.Inizio));
            const int l = misure.horizontalAdvance(mostrato.mid(t.Inizio, t.Lunghezza));
            if (x > area.width()) break;
            p->fillRect(QRect(area.left() + x, area.top() + 1, l, area.height() - 2), segno);
        }
        // The run's replaced words: underlined, so that they show over the
        // change marks too, in the colour the editor marks them with.
        if (!sinistra)
            for (const Confronto::Tratto &t : m_segniCorsa.value(riga.toInt())) {
                const int x = misure.horizontalAdvance(mostrato.left(t.Inizio));
                const int l = misure.horizontalAdvance(mostrato.mid(t.Inizio, t.Lunghezza));
                if (x > area.width()) break;
                p->fillRect(QRect(area.left() + x, area.bottom() - 2, l, 3), ColoreSottolineato);
            }
        p->setPen(opzione.palette.color(QPalette::Text));
        p->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, mostrato);
        p->restore();
    }

private:
    const Confronto::Risultato &m_r;
    const QHash<qsizetype, QList<Confronto::Tratto>> &m_segniCorsa;
};

} // namespace

FinestraConfronto::FinestraConfronto(const QString &originale, const QString &attuale,
                                     QWidget *padre,
                                     const QList<std::pair<qsizetype, qsizetype>> &segniCorsa)
    : QDialog(padre), m_risultato(Confronto::Confronta(originale, attuale))
{
    for (const Confronto::TrattoInRiga &t :
         Confronto::TrattiAttuali(m_risultato, attuale, segniCorsa))
        m_segniCorsa[t.Riga].append(t.Segno);
    setObjectName(QStringLiteral("FinestraConfronto"));
    setWindowTitle(QStringLiteral("Confronto con l'originale"));
    resize(Piattaforma::Pixel(12000), Piattaforma::Pixel(7500));

    VistaConfronto = new QTableView(this);
    VistaConfronto->setObjectName(QStringLiteral("VistaConfronto"));
    VistaConfronto->setModel(new ModelloConfronto(m_risultato, VistaConfronto));
    VistaConfronto->setItemDelegate(new DelegatoSegni(m_risultato, m_segniCorsa, VistaConfronto));
    VistaConfronto->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    VistaConfronto->setSelectionBehavior(QAbstractItemView::SelectRows);
    VistaConfronto->setSelectionMode(QAbstractItemView::SingleSelection);
    VistaConfronto->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VistaConfronto->setShowGrid(false);
    VistaConfronto->setWordWrap(false);
    VistaConfronto->verticalHeader()->hide();
    // Fixed row heights: a table of millions of rows needs no measuring.
    VistaConfronto->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    VistaConfronto->verticalHeader()->setDefaultSectionSize(
        QFontMetrics(VistaConfronto->font()).height() + 2);
    QHeaderView *intestazione = VistaConfronto->horizontalHeader();
    intestazione->setSectionResizeMode(NumeroOriginale, QHeaderView::ResizeToContents);
    intestazione->setSectionResizeMode(NumeroAttuale, QHeaderView::ResizeToContents);
    intestazione->setSectionResizeMode(TestoOriginale, QHeaderView::Stretch);
    intestazione->setSectionResizeMode(TestoAttuale, QHeaderView::Stretch);

    EtichettaRiepilogo = new QLabel(this);
    EtichettaRiepilogo->setObjectName(QStringLiteral("EtichettaRiepilogo"));
    EtichettaRiepilogo->setText(
        m_risultato.RigheCambiate == 1
            ? QStringLiteral("1 riga cambiata")
            : QStringLiteral("%1 righe cambiate").arg(m_risultato.RigheCambiate));

    EtichettaLegenda = new QLabel(this);
    EtichettaLegenda->setObjectName(QStringLiteral("EtichettaLegenda"));
    EtichettaLegenda->setText(QStringLiteral("Sottolineate: le parole sostituite dall'ultima "
                                             "pseudocodificazione"));
    EtichettaLegenda->setVisible(!m_segniCorsa.isEmpty());

    BottonePrecedente = new QPushButton(QStringLiteral("Cambiamento &precedente"), this);
    BottonePrecedente->setObjectName(QStringLiteral("BottonePrecedente"));
    BottonePrecedente->setToolTip(QStringLiteral("Maiusc+F8"));
    BottoneSuccessivo = new QPushButton(QStringLiteral("Cambiamento &successivo"), this);
    BottoneSuccessivo->setObjectName(QStringLiteral("BottoneSuccessivo"));
    BottoneSuccessivo->setToolTip(QStringLiteral("F8"));
    BottoneChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    BottoneChiudi->setObjectName(QStringLiteral("BottoneChiudi"));
    connect(BottonePrecedente, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoPrecedente);
    connect(BottoneSuccessivo, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoSuccessivo);
    connect(BottoneChiudi, &QPushButton::clicked, this, &QDialog::reject); // Esc too
    connect(VistaConfronto, &QTableView::doubleClicked, this,
            [this](const QModelIndex &indice) { ScegliRiga(indice.row()); });

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addWidget(EtichettaRiepilogo, 1);
    pulsanti->addWidget(EtichettaLegenda);
    pulsanti->addWidget(BottonePrecedente);
    pulsanti->addWidget(BottoneSuccessivo);
    pulsanti->addWidget(BottoneChiudi);
    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(VistaConfronto, 1);
    disposizione->addLayout(pulsanti);

    VistaConfronto->setFocus();
    // Opens on the first change, if any.
    VaiA(Confronto::CambiamentoSuccessivo(m_risultato, -1));
}

void FinestraConfronto::Mostra(const QString &originale, const QString &attuale, QWidget *padre,
                               const QList<std::pair<qsizetype, qsizetype>> &segniCorsa,
                               const std::function<void(qsizetype)> &allaRiga)
{
    FinestraConfronto finestra(originale, attuale, padre, segniCorsa);
    if (allaRiga) connect(&finestra, &FinestraConfronto::RigaScelta, &finestra, allaRiga);
    Piattaforma::MostraModale(&finestra);
}

qsizetype FinestraConfronto::RigaCorrente() const
{
    return VistaConfronto->currentIndex().isValid() ? VistaConfronto->currentIndex().row() : -1;
}

void FinestraConfronto::CambiamentoSuccessivo()
{
    VaiA(Confronto::CambiamentoSuccessivo(m_risultato, RigaCorrente()));
}

void FinestraConfronto::CambiamentoPrecedente()
{
    VaiA(Confronto::CambiamentoPrecedente(m_risultato, RigaCorrente()));
}

void FinestraConfronto::ScegliRiga(qsizetype riga)
{
    const qsizetype attuale = Confronto::RigaAttuale(m_risultato, riga);
    if (attuale >= 0) Q_EMIT RigaScelta(attuale);
}

void FinestraConfronto::keyPressEvent(QKeyEvent *e)
{
    // Enter on a row of the table picks it (the table passes Enter on); on a
    // button it stays the button's.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        focusWidget() == VistaConfronto)
        ScegliRiga(RigaCorrente());
    else if (e->key() == Qt::Key_F8 && e->modifiers() == Qt::NoModifier)
        CambiamentoSuccessivo();
    else if (e->key() == Qt::Key_F8 && e->modifiers() == Qt::ShiftModifier)
        CambiamentoPrecedente();
    else
        QDialog::keyPressEvent(e); // Esc closes, as "&Chiudi"
}

void FinestraConfronto::VaiA(qsizetype riga)
{
    if (riga < 0) return; // no change that way: the row stays
    const QModelIndex indice = VistaConfronto->model()->index(int(riga), TestoOriginale);
    VistaConfronto->setCurrentIndex(indice);
    VistaConfronto->scrollTo(indice, QAbstractItemView::PositionAtCenter);
}
