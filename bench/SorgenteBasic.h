#pragma once

#include <QString>

// About `caratteri` characters of BASIC-like source with CR LF line breaks,
// the text the benchmarks work on.
inline QString SorgenteBasic(qsizetype caratteri)
{
    static const QString blocco = QStringLiteral("Private Sub Command1_Click()\r\n"
                                                 "    If Text1.Text = \"\" Then Exit Sub\r\n"
                                                 "    For i = 1 To List1.ListCount - 1\r\n"
                                                 "        Do While Not EOF(1)\r\n"
                                                 "            Line Input #1, riga\r\n"
                                                 "        Loop\r\n"
                                                 "    Next i\r\n"
                                                 "End Sub\r\n");
    QString testo;
    testo.reserve(caratteri + blocco.size());
    while (testo.size() < caratteri)
        testo += blocco;
    return testo;
}
