#pragma once

#include <QTest>

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
