#pragma once

#include <QTest>
#include <tuple>

// The columns of a data-driven test, their types in order: Colonne<int, QString>("n", "s").
template <typename... Tipi, typename... Nomi> void Colonne(const Nomi &...nomi)
{
    static_assert(sizeof...(Tipi) == sizeof...(Nomi), "one name per column");
    (QTest::addColumn<Tipi>(nomi), ...);
}

// One named row of a data-driven test, its values in column order (a string
// literal fills a QString column).
template <typename... Valori> void Riga(const char *nome, const Valori &...valori)
{
    (QTest::newRow(nome) << ... << valori);
}

// The current row's values, fetched by column name, their types in order:
// const auto [n, s] = DatiRiga<int, QString>("n", "s");
template <typename... Tipi, typename... Nomi> std::tuple<Tipi...> DatiRiga(const Nomi &...nomi)
{
    static_assert(sizeof...(Tipi) == sizeof...(Nomi), "one name per column");
    return {*static_cast<const Tipi *>(QTest::qData(nomi, qMetaTypeId<Tipi>()))...};
}
